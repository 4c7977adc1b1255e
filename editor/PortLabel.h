#pragma once

#include <QLabel>

// A monitor's label in the editor's strip: clicked when the left button is
// released over it. It takes every mouse event given to it.
class TPortLabel : public QLabel {
    Q_OBJECT

public:
    TPortLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
