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
#include <QWheelEvent>

bool TfrmGlidex::eventFilter(QObject* watched, QEvent* event)
{
    // Only the vertical wheel is the window's, with Ctrl it zooms; a
    // sideways turn scrolls the canvas as usual.
    if (event->type() != QEvent::Wheel)
        return QDialog::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->angleDelta().y() == 0)
        return false;
    if (wheel->modifiers() & Qt::ControlModifier)
        return ZoomMouseWheel(wheel->angleDelta().y(), wheel->globalPosition().toPoint());
    return FormMouseWheel(wheel->angleDelta().y(), wheel->globalPosition().toPoint());
}

bool TfrmGlidex::agreesToRemove(const PortConflict& conflict)
{
    // Master port k and Slave k never share a layout.
    if (conflict.With == PortConflict::Side::None)
        return true;
    const QString text = conflict.With == PortConflict::Side::Slave
                             ? QStringLiteral("Slave %1 exist! Delete?").arg(conflict.Number)
                             : QStringLiteral("Master %1 exist! Delete?").arg(conflict.Number);
    return prompts_.messageBox(this, text, QStringLiteral("Confirm"), MsgButtons::OkCancel) == MsgAnswer::Ok;
}

void TfrmGlidex::PortLabelClick(QLabel* label)
{
    const int n = label->property("Tag").toInt();
    if (!model_.CanPlace(n))
        return;

    const PortConflict conflict = model_.ConflictOf(n);
    if (!agreesToRemove(conflict))
        return;
    history_.Record(QStringLiteral("Place %1").arg(model_.Screens()[n].Title),
                    [this, n, conflict] { model_.PlaceFromLabel(n, conflict.With != PortConflict::Side::None); });
}

void TfrmGlidex::ScreenMouseDown(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    drag_.press(x, y, tile.mapToGlobal(QPoint(x, y)));
    model_.BeginDrag(tile.Data.ScreenNo);
    history_.Begin();
    // What a keyboard move said of a tile before is no longer news.
    StatusBar1->clearMessage();
    Label1->setText(QString::asprintf("Down %d %d", drag_.DownX(), drag_.DownY()));
}

void TfrmGlidex::ScreenMouseMove(TScreen& tile, Qt::MouseButtons buttons, int x, int y)
{
    if (!(buttons & Qt::LeftButton) || !model_.DragArmed())
        return;

    const QPoint motion = drag_.move(tile.Data.ScreenNo, tile.mapToGlobal(QPoint(x, y)));
    dragTile(tile, QPoint(x, y));
    followDraggedTile(tile, motion);

    Label1->setText(QString::asprintf("delta %d %d Move %d %d, Pos %d %d", drag_.DownX(), drag_.DownY(), x, y,
                                      tile.Picture().left() - scrollLayout->horizontalScrollBar()->value(),
                                      tile.Picture().top() - scrollLayout->verticalScrollBar()->value()));
    drag_.setAtEdge(edgeScrollTarget() != scrollPosition());
}

void TfrmGlidex::dragTile(TScreen& tile, QPoint at)
{
    // Every step counts from where the tile was last drawn.
    const CanvasTransform& canvas = model_.Canvas();
    const DeskRect place = model_.DragStep(tile.Data.ScreenNo, canvas.ToDesk(int64_t{at.x()} - drag_.DownX()),
                                           canvas.ToDesk(int64_t{at.y()} - drag_.DownY()));

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
    const FollowScroll alongX =
        drag_.follow(ScrollToFollow(picture.left() - horizontal->value(), picture.width(),
                                    {horizontal->value(), client.width(), imgLayout->width()}),
                     horizontal->value(), motion.x());
    const FollowScroll alongY =
        drag_.follow(ScrollToFollow(picture.top() - vertical->value(), picture.height(),
                                    {vertical->value(), client.height(), imgLayout->height()}),
                     vertical->value(), motion.y());
    const QPoint pointerAt = pointer_.pos();
    horizontal->setValue(alongX.Position);
    vertical->setValue(alongY.Position);
    const QPoint shift(alongX.PointerShift, alongY.PointerShift);
    if (shift.isNull())
        return;
    if (!drag_.pointerFixed() && pointer_.setPos(pointerAt + shift)) {
        drag_.pointerMoved(shift);
        return;
    }
    // The pointer stayed where it was, and is not asked again during this
    // drag: the tile goes along with the canvas, so the point it was
    // grabbed at stays under the pointer.
    drag_.fixPointer();
    dragTile(tile, tile.mapFromGlobal(drag_.pointer()));
}

QPoint TfrmGlidex::scrollPosition() const
{
    return {scrollLayout->horizontalScrollBar()->value(), scrollLayout->verticalScrollBar()->value()};
}

QPoint TfrmGlidex::edgeScrollTarget() const
{
    const QPoint at = scrollLayout->viewport()->mapFromGlobal(drag_.pointer());
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
    if (!held || !model_.DragArmed() || drag_.screenNo() == 0 || target == scrollPosition()) {
        drag_.setAtEdge(false);
        return;
    }
    scrollLayout->horizontalScrollBar()->setValue(target.x());
    scrollLayout->verticalScrollBar()->setValue(target.y());
    TScreen& tile = *screens_[drag_.screenNo()];
    dragTile(tile, tile.mapFromGlobal(drag_.pointer()));
}

void TfrmGlidex::ScreenMouseUp(TScreen& tile, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    drag_.release();
    Label1->setText(QString::asprintf("Up %d %d", x, y));
    model_.EndDrag(tile.Data.ScreenNo);
    history_.End(QStringLiteral("Move %1").arg(tile.Data.Title));
}

void TfrmGlidex::btnApplyClick()
{
    if (model_.SelectedNo() == 0)
        return;
    history_.Record(QStringLiteral("Apply %1").arg(model_.Screens()[model_.SelectedNo()].Title), [this] {
        model_.Apply(cmbResolution->currentIndex(), chkPortrait->isChecked(), ParseDeskPosition(edtX->text()),
                     ParseDeskPosition(edtY->text()));
    });
}

void TfrmGlidex::btnDeleteClick()
{
    if (model_.SelectedNo() == 0)
        return;
    history_.Record(QStringLiteral("Delete %1").arg(model_.Screens()[model_.SelectedNo()].Title),
                    [this] { model_.DeleteSelected(); });
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
