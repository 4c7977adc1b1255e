#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

// A child widget with its object name (the system's name for it) and its
// place in pixels, as the windows lay out their widgets.
template <typename Widget>
Widget* makeWidget(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}
