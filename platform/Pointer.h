#pragma once

#include <QPoint>

// The mouse pointer, read and moved in screen coordinates. Windows hold a
// reference to one; tests give them a fake that only records the moves.
class Pointer {
public:
    virtual ~Pointer() = default;
    virtual QPoint pos() const = 0;
    virtual void setPos(QPoint screenPos) = 0;
};

// The window system's pointer.
class QtPointer final : public Pointer {
public:
    QPoint pos() const override;
    void setPos(QPoint screenPos) override;
};
