#pragma once

#include <QLabel>

// A monitor's label in the editor's strip: clicked when the left button is
// released over it, activated by Enter or Space while it has the focus,
// which it takes by Tab only. It takes every mouse event given to it.
class TPortLabel : public QLabel {
    Q_OBJECT

public:
    TPortLabel(const QString& text, QWidget* parent);

    // Whether the label's monitor is on the canvas; assistive tools are told
    // of a change.
    bool Placed() const { return placed_; }
    void SetPlaced(bool placed);

signals:
    void clicked();
    void activated();
    void focused();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The label, and a dashed frame in its text colour while it has the
    // focus.
    void paintEvent(QPaintEvent* event) override;

private:
    bool placed_ = false;
};
