// The layout editor's pointer editing: placing monitors from their port
// labels, selecting and dragging tiles, the bottom panel's Apply and Delete,
// and the wheel over the canvas.

#include "editor/GlidexWindow.h"

#include "editor/CanvasTransform.h"
#include "editor/MonitorValues.h"
#include "platform/Pointer.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
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
    if (!Model.CanPlace(n))
        return;

    // Master port k and Slave k never share a layout.
    const PortConflict conflict = Model.ConflictOf(n);
    if (conflict.With != PortConflict::Side::None) {
        const QString text = conflict.With == PortConflict::Side::Slave
                                 ? QStringLiteral("Slave %1 exist! Delete?").arg(conflict.Number)
                                 : QStringLiteral("Master %1 exist! Delete?").arg(conflict.Number);
        if (prompts_.messageBox(this, text, QStringLiteral("Confirm"), MsgButtons::OkCancel) != MsgAnswer::Ok)
            return;
    }
    Model.PlaceFromLabel(n, conflict.With != PortConflict::Side::None);
}

void TfrmGlidex::ScreenMouseDown(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    DownX = x;
    DownY = y;
    Model.BeginDrag(tile.Data.ScreenNo);
    // What a keyboard move said of a tile before is no longer news.
    StatusBar1->clearMessage();
    Label1->setText(QString::asprintf("Down %d %d", DownX, DownY));
}

void TfrmGlidex::ScreenMouseMove(TScreen& tile, Qt::MouseButtons buttons, int x, int y)
{
    if (!(buttons & Qt::LeftButton) || !Model.DragArmed)
        return;

    // Every event counts from where the tile was last drawn.
    const CanvasTransform& canvas = Model.Canvas;
    const DeskRect place =
        Model.DragStep(tile.Data.ScreenNo, canvas.ToDesk(int64_t{x} - DownX), canvas.ToDesk(int64_t{y} - DownY));

    // The tile lies on the canvas, which scrolls under the view.
    tile.MovePicture(canvas.ToCanvas(place).topLeft());
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
    Model.EndDrag(tile.Data.ScreenNo);
}

void TfrmGlidex::btnApplyClick()
{
    Model.Apply(cmbResolution->currentIndex(), chkPortrait->isChecked(), ParseDeskPosition(edtX->text()),
                ParseDeskPosition(edtY->text()));
}

void TfrmGlidex::btnDeleteClick()
{
    Model.DeleteSelected();
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
