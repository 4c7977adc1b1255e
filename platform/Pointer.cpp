#include "platform/Pointer.h"

#include <QCursor>

QPoint QtPointer::pos() const
{
    return QCursor::pos();
}

bool QtPointer::setPos(QPoint screenPos)
{
    // A refused move leaves the position Qt last saw the pointer at.
    QCursor::setPos(screenPos);
    return QCursor::pos() == screenPos;
}
