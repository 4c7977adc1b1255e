#include "editor/PortLabel.h"

#include <QMouseEvent>

TPortLabel::TPortLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
}

// Presses, double clicks and moves are taken, so that they do not reach the
// strip under the label.
void TPortLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TPortLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void TPortLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void TPortLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
