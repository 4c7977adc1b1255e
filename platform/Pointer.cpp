#include "platform/Pointer.h"

#include <QCursor>

QPoint QtPointer::pos() const
{
    return QCursor::pos();
}

void QtPointer::setPos(QPoint screenPos)
{
    QCursor::setPos(screenPos);
}
