// The layout editor's pointer editing: placing monitors from their port
// labels, selecting and dragging tiles, the bottom panel's Apply and Delete,
// and the wheel over the canvas.

#include "editor/GlidexWindow.h"

#include "editor/CanvasTransform.h"
#include "editor/MonitorValues.h"
#include "editor/ScreenGeometry.h"
#include "platform/Pointer.h"
#include "platform/Prompts.h"
#include "setup/LayoutRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

bool TfrmGlidex::eventFilter(QObject* watched, QEvent* event)
{
    // Only the vertical wheel is the window's; a sideways turn scrolls the
    // canvas as usual.
    if (event->type() != QEvent::Wheel)
        return QDialog::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->angleDelta().y() == 0)
        return false;
    return FormMouseWheel(wheel->angleDelta().y(), wheel->globalPosition().toPoint());
}

void TfrmGlidex::PortLabelClick(QLabel* label)
{
    const int n = label->property("Tag").toInt();
    if (n < 1 || n > kScreenCount || Screens[n]->ScreenGroup != 0)
        return;
    TScreen& tile = *Screens[n];

    // Master port k and Slave k never share a layout.
    bool conflict = false;
    for (const TScreen* other : Screens)
        conflict = conflict || (other->ScreenGroup != 0 && PortsExclude(tile.PortIndex, other->PortIndex));
    if (conflict) {
        const QString text = tile.PortIndex < 4 ? QStringLiteral("Slave %1 exist! Delete?").arg(tile.PortIndex + 1)
                                                : QStringLiteral("Master %1 exist! Delete?").arg(tile.PortIndex / 4);
        if (prompts_.messageBox(this, text, QStringLiteral("Confirm"), MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
        for (TScreen* other : Screens) {
            if (PortsExclude(tile.PortIndex, other->PortIndex))
                RemoveScreen(*other);
        }
    }

    if (SelectedNo > 0 && SelectedNo != n)
        RepaintScreen(*Screens[SelectedNo], false);
    SelectedNo = n;
    PaintScreen(tile, true);
}

void TfrmGlidex::ScreenMouseDown(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    tile.DragRect = tile.DeskBounds();
    DragArmed = true;
    DragMoved = false;
    DownX = x;
    DownY = y;
    selectTile(tile);
    Label1->setText(QString::asprintf("Down %d %d", DownX, DownY));
}

void TfrmGlidex::ScreenMouseMove(TScreen& tile, Qt::MouseButtons buttons, int x, int y)
{
    if (!(buttons & Qt::LeftButton) || !DragArmed)
        return;
    DragMoved = true;

    // Every event counts from where the tile was last drawn.
    const int64_t dx = Canvas.ToDesk(int64_t{x} - DownX);
    const int64_t dy = Canvas.ToDesk(int64_t{y} - DownY);
    const DeskRect& from = tile.DragRect;
    const DeskRect proposed{from.Left + dx, from.Top + dy, from.Right + dx, from.Bottom + dy};
    const DeskRect place = ClampToDesk(
        SnapToEdges(tileBoxes(), tile.ScreenNo, proposed, deskLimits(), Canvas.ToDesk(kSnapDistance)), deskLimits());
    tile.DragRect = place;

    // The tile lies on the canvas, which scrolls under the view.
    tile.MovePicture(Canvas.ToCanvas(place).topLeft());
    edtX->setText(QString::number(place.Left));
    edtY->setText(QString::number(place.Top));
    followDraggedTile(tile);

    Label1->setText(QString::asprintf("delta %d %d Move %d %d, Pos %d %d", DownX, DownY, x, y,
                                      tile.Picture().left() - scrollLayout->horizontalScrollBar()->value(),
                                      tile.Picture().top() - scrollLayout->verticalScrollBar()->value()));
}

void TfrmGlidex::followDraggedTile(const TScreen& tile)
{
    QScrollBar* horizontal = scrollLayout->horizontalScrollBar();
    QScrollBar* vertical = scrollLayout->verticalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const QRect picture = tile.Picture();
    const FollowScroll alongX = ScrollToFollow(picture.left() - horizontal->value(), picture.width(),
                                               {horizontal->value(), client.width(), imgLayout->width()});
    const FollowScroll alongY = ScrollToFollow(picture.top() - vertical->value(), picture.height(),
                                               {vertical->value(), client.height(), imgLayout->height()});
    const QPoint pointerAt = pointer_.pos();
    horizontal->setValue(alongX.Position);
    vertical->setValue(alongY.Position);
    if (alongX.PointerShift != 0 || alongY.PointerShift != 0)
        pointer_.setPos(pointerAt + QPoint(alongX.PointerShift, alongY.PointerShift));
}

void TfrmGlidex::ScreenMouseUp(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    Label1->setText(QString::asprintf("Up %d %d", x, y));
    if (!DragArmed)
        return;
    DragArmed = false;
    if (!DragMoved)
        return;
    // The drag kept the tile on the canvas, within 32 bits.
    tile.DeskX = Saturated(tile.DragRect.Left);
    tile.DeskY = Saturated(tile.DragRect.Top);
    PaintScreen(tile, tile.ScreenNo == SelectedNo);
}

void TfrmGlidex::btnApplyClick()
{
    if (SelectedNo < 1 || SelectedNo > kScreenCount)
        return;
    TScreen& tile = *Screens[SelectedNo];
    tile.Portrait = chkPortrait->isChecked();
    tile.ResIndex = cmbResolution->currentIndex();
    const DeskSize size = MonitorSize(tile.ResIndex, tile.Portrait);
    tile.DeskWidth = size.Width;
    tile.DeskHeight = size.Height;
    tile.DeskX = ParseDeskPosition(edtX->text()).value_or(tile.DeskX);
    tile.DeskY = ParseDeskPosition(edtY->text()).value_or(tile.DeskY);
    RepaintScreen(tile, true);
}

void TfrmGlidex::btnDeleteClick()
{
    if (SelectedNo >= 1 && SelectedNo <= kScreenCount)
        RemoveScreen(*Screens[SelectedNo]);
}

bool TfrmGlidex::FormMouseWheel(int wheelDelta, QPoint screenPos)
{
    if (!scrollLayout->geometry().contains(mapFromGlobal(screenPos)))
        return false;
    QScrollBar* vertical = scrollLayout->verticalScrollBar();
    vertical->setValue(vertical->value() + (wheelDelta < 0 ? vertical->singleStep() : -vertical->singleStep()));
    Label1->setText(QString::asprintf("form wheel %d %d", screenPos.x(), screenPos.y()));
    return true;
}
