// The layout editor's pointer editing: placing monitors from their port
// labels, selecting and dragging tiles, the bottom panel's Apply and Delete,
// and the wheel over the canvas.

#include "gui/editor/GlidexWindow.h"

#include "core/layout/CanvasTransform.h"
#include "core/layout/MonitorValues.h"
#include "core/platform/Pointer.h"
#include "core/platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
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
    History.Record(QStringLiteral("Place %1").arg(Model.Screens[n].Title),
                   [this, n, conflict] { Model.PlaceFromLabel(n, conflict.With != PortConflict::Side::None); });
}

void TfrmGlidex::ScreenMouseDown(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    DownX = x;
    DownY = y;
    dragPointer_ = tile.mapToGlobal(QPoint(x, y));
    pointerFixed_ = false;
    Model.BeginDrag(tile.Data.ScreenNo);
    History.Begin();
    // What a keyboard move said of a tile before is no longer news.
    StatusBar1->clearMessage();
    Label1->setText(QString::asprintf("Down %d %d", DownX, DownY));
}

void TfrmGlidex::ScreenMouseMove(TScreen& tile, Qt::MouseButtons buttons, int x, int y)
{
    if (!(buttons & Qt::LeftButton) || !Model.DragArmed)
        return;

    const QPoint pointerAt = tile.mapToGlobal(QPoint(x, y));
    const QPoint motion = pointerAt - dragPointer_;
    dragPointer_ = pointerAt;
    draggedTile_ = &tile;
    dragTile(tile, QPoint(x, y));
    followDraggedTile(tile, motion);

    Label1->setText(QString::asprintf("delta %d %d Move %d %d, Pos %d %d", DownX, DownY, x, y,
                                      tile.Picture().left() - scrollLayout->horizontalScrollBar()->value(),
                                      tile.Picture().top() - scrollLayout->verticalScrollBar()->value()));
    if (edgeScrollTarget() != scrollPosition())
        edgeScrollTimer_->start();
    else
        edgeScrollTimer_->stop();
}

void TfrmGlidex::dragTile(TScreen& tile, QPoint at)
{
    // Every step counts from where the tile was last drawn.
    const CanvasTransform& canvas = Model.Canvas;
    const DeskRect place = Model.DragStep(tile.Data.ScreenNo, canvas.ToDesk(int64_t{at.x()} - DownX),
                                          canvas.ToDesk(int64_t{at.y()} - DownY));

    // The tile lies on the canvas, which scrolls under the view.
    tile.MovePicture(canvas.ToCanvas(place).topLeft());
    edtX->setText(QString::number(place.Left));
    edtY->setText(QString::number(place.Top));
}

void TfrmGlidex::followDraggedTile(TScreen& tile, QPoint motion)
{
    QScrollBar* horizontal = scrollLayout->horizontalScrollBar();
    QScrollBar* vertical = scrollLayout->verticalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const QRect picture = tile.Picture();
    FollowScroll alongX = ScrollToFollow(picture.left() - horizontal->value(), picture.width(),
                                         {horizontal->value(), client.width(), imgLayout->width()});
    FollowScroll alongY = ScrollToFollow(picture.top() - vertical->value(), picture.height(),
                                         {vertical->value(), client.height(), imgLayout->height()});
    if (pointerFixed_) {
        // The tile stays under a pointer that cannot be moved back, so it
        // stays beyond the edge: only a move outward scrolls on, else the
        // view would run at every motion.
        auto sign = [](int value) { return (value > 0) - (value < 0); };
        if (sign(alongX.Position - horizontal->value()) != sign(motion.x()))
            alongX = {horizontal->value(), 0};
        if (sign(alongY.Position - vertical->value()) != sign(motion.y()))
            alongY = {vertical->value(), 0};
    }
    const QPoint pointerAt = pointer_.pos();
    horizontal->setValue(alongX.Position);
    vertical->setValue(alongY.Position);
    const QPoint shift(alongX.PointerShift, alongY.PointerShift);
    if (shift.isNull())
        return;
    if (!pointerFixed_ && pointer_.setPos(pointerAt + shift)) {
        dragPointer_ += shift;
        return;
    }
    // The pointer stayed where it was, and is not asked again during this
    // drag: the tile goes along with the canvas, so the point it was
    // grabbed at stays under the pointer.
    pointerFixed_ = true;
    dragTile(tile, tile.mapFromGlobal(dragPointer_));
}

QPoint TfrmGlidex::scrollPosition() const
{
    return {scrollLayout->horizontalScrollBar()->value(), scrollLayout->verticalScrollBar()->value()};
}

QPoint TfrmGlidex::edgeScrollTarget() const
{
    const QPoint at = scrollLayout->viewport()->mapFromGlobal(dragPointer_);
    const QSize client = scrollLayout->viewport()->size();
    const QPoint position = scrollPosition();
    return {ScrollAtEdge(at.x(), {position.x(), client.width(), imgLayout->width()}),
            ScrollAtEdge(at.y(), {position.y(), client.height(), imgLayout->height()})};
}

void TfrmGlidex::edgeScrollTick()
{
    // A drag whose release never came (the window lost the mouse) stops
    // here too.
    const QPoint target = edgeScrollTarget();
    const bool held = QGuiApplication::mouseButtons() & Qt::LeftButton;
    if (!held || !Model.DragArmed || !draggedTile_ || target == scrollPosition()) {
        edgeScrollTimer_->stop();
        return;
    }
    scrollLayout->horizontalScrollBar()->setValue(target.x());
    scrollLayout->verticalScrollBar()->setValue(target.y());
    dragTile(*draggedTile_, draggedTile_->mapFromGlobal(dragPointer_));
}

void TfrmGlidex::ScreenMouseUp(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    edgeScrollTimer_->stop();
    draggedTile_ = nullptr;
    Label1->setText(QString::asprintf("Up %d %d", x, y));
    Model.EndDrag(tile.Data.ScreenNo);
    History.End(QStringLiteral("Move %1").arg(tile.Data.Title));
}

void TfrmGlidex::btnApplyClick()
{
    if (Model.SelectedNo == 0)
        return;
    History.Record(QStringLiteral("Apply %1").arg(Model.Screens[Model.SelectedNo].Title), [this] {
        Model.Apply(cmbResolution->currentIndex(), chkPortrait->isChecked(), ParseDeskPosition(edtX->text()),
                    ParseDeskPosition(edtY->text()));
    });
}

void TfrmGlidex::btnDeleteClick()
{
    if (Model.SelectedNo == 0)
        return;
    History.Record(QStringLiteral("Delete %1").arg(Model.Screens[Model.SelectedNo].Title),
                   [this] { Model.DeleteSelected(); });
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
