#include "gui/platform/QtPointer.h"

#include <QCursor>

QPoint QtPointer::pos() const
{
    return QCursor::pos();
}

bool QtPointer::setPos(QPoint screenPos)
{
    const QPoint from = QCursor::pos();
    QCursor::setPos(screenPos);
    // The hand on the mouse may move the pointer meanwhile: the move took
    // when the pointer is nearer where it was sent than where it was. A
    // refused move leaves it where Qt last saw it.
    const QPoint now = QCursor::pos();
    return now == screenPos || (now - screenPos).manhattanLength() < (now - from).manhattanLength();
}
