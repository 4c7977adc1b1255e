#pragma once

#include <QPoint>

// The mouse pointer, read and moved in screen coordinates. Windows hold a
// reference to one; tests give them a fake that only records the moves.
// Wayland sessions and some remote desktops do not let a program move the
// pointer: setPos answers whether the pointer is where it was sent.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual QPoint pos() const = 0;
    virtual bool setPos(QPoint screenPos) = 0;
};
