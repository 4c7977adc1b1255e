#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

// The child of `parent` named `name`, found by its object name as a user's
// tools find it. A name the window does not have ends the test with an
// exception that names it.
template <typename T>
T* FindWidget(const QObject& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no widget named ") + name);
    return child;
}
