// The layout editor's zoom: the View menu, its keys and Ctrl with the wheel.
// A zoom changes only how large the canvas draws the desktop: it is no step
// of the history and changes no stored value.

#include "gui/editor/GlidexWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>

namespace {

// The middle of the canvas's view, in view pixels.
QPoint viewCentre(const QScrollArea* scrollArea)
{
    const QSize client = scrollArea->viewport()->size();
    return {client.width() / 2, client.height() / 2};
}

}  // namespace

void TfrmGlidex::createViewMenu()
{
    mnuView = MainMenu->addMenu(QStringLiteral("View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    auto addView = [this](const char* name, const QString& text, const QList<QKeySequence>& shortcuts,
                          void (TfrmGlidex::*handler)()) {
        QAction* action = mnuView->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(shortcuts);
        return action;
    };
    // Ctrl with the key that bears "+", shifted or not; the keypad's keys
    // find these shortcuts too.
    mnuZoomIn = addView("mnuZoomIn", QStringLiteral("Zoom In"),
                        {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::SHIFT | Qt::Key_Equal},
                        &TfrmGlidex::mnuZoomInClick);
    mnuZoomOut =
        addView("mnuZoomOut", QStringLiteral("Zoom Out"), {Qt::CTRL | Qt::Key_Minus}, &TfrmGlidex::mnuZoomOutClick);
    mnuActualSize = addView("mnuActualSize", QStringLiteral("Actual Size"), {Qt::CTRL | Qt::Key_0},
                            &TfrmGlidex::mnuActualSizeClick);
    mnuView->addSeparator();
    mnuZoomToFit = addView("mnuZoomToFit", QStringLiteral("Zoom to Fit"), {}, &TfrmGlidex::mnuZoomToFitClick);
}

void TfrmGlidex::mnuZoomInClick()
{
    zoomToMonitors(ZoomStep(model_.Canvas().ZoomDiv, 1));
}

void TfrmGlidex::mnuZoomOutClick()
{
    zoomAround(ZoomStep(model_.Canvas().ZoomDiv, -1), viewCentre(scrollLayout));
}

void TfrmGlidex::mnuActualSizeClick()
{
    zoomToMonitors(kActualSize);
}

void TfrmGlidex::mnuZoomToFitClick()
{
    // The view as it is with both scroll bars shown: a canvas that needs
    // fewer only leaves the view larger.
    const QSize client = scrollLayout->maximumViewportSize() -
                         QSize(scrollLayout->verticalScrollBar()->sizeHint().width(),
                               scrollLayout->horizontalScrollBar()->sizeHint().height());
    const std::optional<ZoomFit> fit = model_.FitZoom(client);
    if (!fit) {
        mnuActualSizeClick();
        return;
    }
    if (!model_.SetZoom(fit->ZoomDiv))
        return;
    scrollLayout->horizontalScrollBar()->setValue(fit->Scroll.x());
    scrollLayout->verticalScrollBar()->setValue(fit->Scroll.y());
    StatusBar1->showMessage(ZoomText(fit->ZoomDiv));
}

bool TfrmGlidex::ZoomMouseWheel(int wheelDelta, QPoint screenPos)
{
    if (!scrollLayout->geometry().contains(mapFromGlobal(screenPos)))
        return false;
    const int notches = wheelZoom_.Add(wheelDelta);
    if (notches == 0)
        return true;
    // Over a scroll bar, the nearest point of the view stays.
    const QWidget* view = scrollLayout->viewport();
    const QPoint at = view->mapFromGlobal(screenPos);
    const QPoint anchor(std::clamp(at.x(), 0, view->width() - 1), std::clamp(at.y(), 0, view->height() - 1));
    zoomAround(ZoomStep(model_.Canvas().ZoomDiv, notches), anchor);
    return true;
}

bool TfrmGlidex::zoomAround(int32_t zoomDiv, QPoint anchor)
{
    QScrollBar* horizontal = scrollLayout->horizontalScrollBar();
    QScrollBar* vertical = scrollLayout->verticalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const ScrollAxis alongX{horizontal->value(), client.width(), imgLayout->width()};
    const ScrollAxis alongY{vertical->value(), client.height(), imgLayout->height()};
    const int32_t from = model_.Canvas().ZoomDiv;
    if (!model_.SetZoom(zoomDiv))
        return false;
    horizontal->setValue(ScrollAfterZoom(alongX, anchor.x(), from, zoomDiv));
    vertical->setValue(ScrollAfterZoom(alongY, anchor.y(), from, zoomDiv));
    StatusBar1->showMessage(ZoomText(zoomDiv));
    return true;
}

void TfrmGlidex::zoomToMonitors(int32_t zoomDiv)
{
    if (!zoomAround(zoomDiv, viewCentre(scrollLayout)))
        return;
    QScrollBar* horizontal = scrollLayout->horizontalScrollBar();
    QScrollBar* vertical = scrollLayout->verticalScrollBar();
    const std::optional<QPoint> scroll =
        model_.ScrollToMonitors({horizontal->value(), vertical->value()}, scrollLayout->viewport()->size());
    if (scroll) {
        horizontal->setValue(scroll->x());
        vertical->setValue(scroll->y());
    }
}

void TfrmGlidex::showZoom()
{
    // The canvas first: a tile covers only its part on the canvas.
    imgLayout->setFixedSize(model_.CanvasSize());
    for (TScreen* tile : screens_) {
        if (tile->Data.ScreenGroup != 0)
            tile->SetPicture(model_.Canvas().ToCanvas(tile->Data.DeskBounds()), tile->Selected());
    }
    const int32_t zoomDiv = model_.Canvas().ZoomDiv;
    mnuZoomIn->setEnabled(ZoomStep(zoomDiv, 1) != zoomDiv);
    mnuZoomOut->setEnabled(ZoomStep(zoomDiv, -1) != zoomDiv);
}
