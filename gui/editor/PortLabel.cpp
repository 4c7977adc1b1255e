#include "gui/editor/PortLabel.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TPortLabel::TPortLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void TPortLabel::SetPlaced(bool placed)
{
    if (placed == placed_)
        return;
    placed_ = placed;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    // No description change is sent: Qt's Linux bridge sends it without the
    // text, which Orca fails on; readers read the description afresh on
    // focus.
    QAccessible::updateAccessibility(&event);
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

void TPortLabel::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        emit activated();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TPortLabel::focusInEvent(QFocusEvent* event)
{
    QLabel::focusInEvent(event);
    update();
    emit focused();
}

void TPortLabel::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    update();
}

void TPortLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2, Qt::DashLine));
    painter.drawRect(rect().adjusted(2, 2, -2, -2));
}
