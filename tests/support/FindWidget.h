#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

// The child of `parent` named `name`, found by its object name as a user's
// tools find it. A name the window does not have ends the test with an
// exception that names it.
template <typename T>
T* FindWidget(const QObject& parent, const QString& name)
{
    T* child = parent.findChild<T*>(name);
    if (!child)
        throw std::runtime_error("no widget named " + name.toStdString());
    return child;
}
