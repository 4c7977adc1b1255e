// The layout editor's keyboard editing: placing monitors from their focused
// port labels, selecting a tile by giving it the focus, moving it with the
// arrow keys and deleting it.

#include "editor/GlidexWindow.h"

#include "editor/CanvasTransform.h"
#include "editor/PortLabel.h"
#include "editor/ScreenGeometry.h"
#include "setup/LayoutRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>

void TfrmGlidex::PortLabelKey(TScreen& tile)
{
    PortLabelClick(tile.PortLabel);
    if (tile.ScreenGroup != 0)
        tile.setFocus(Qt::TabFocusReason);
}

void TfrmGlidex::ScreenFocused(TScreen& tile)
{
    if (tile.ScreenGroup == 0)
        return;
    if (SelectedNo != tile.ScreenNo)
        selectTile(tile);
    scrollLayout->ensureWidgetVisible(&tile);
}

void TfrmGlidex::ScreenKeyMove(TScreen& tile, MoveDirection direction, bool toAlignment)
{
    if (tile.ScreenGroup == 0)
        return;
    if (SelectedNo != tile.ScreenNo)
        selectTile(tile);

    // One canvas pixel, not snapped: a step shorter than the snap range
    // would be pulled back to the edge it left.
    const DeskRect from = tile.DeskBounds();
    DeskRect to = from;
    if (toAlignment) {
        to = NextAlignment(tileBoxes(), tile.ScreenNo, from, direction, deskLimits());
    } else {
        const int64_t step = Canvas.ToDesk(1);
        const int64_t dx = direction == MoveDirection::Left ? -step : direction == MoveDirection::Right ? step : 0;
        const int64_t dy = direction == MoveDirection::Up ? -step : direction == MoveDirection::Down ? step : 0;
        to = {from.Left + dx, from.Top + dy, from.Right + dx, from.Bottom + dy};
    }
    to = ClampToDesk(to, deskLimits());

    // Put down as at the end of a drag: the tile, the position fields.
    tile.DeskX = Saturated(to.Left);
    tile.DeskY = Saturated(to.Top);
    PaintScreen(tile, true);
    scrollLayout->ensureWidgetVisible(&tile);
    StatusBar1->showMessage(ScreenSummary(tile));
}

void TfrmGlidex::ScreenKeyDelete(TScreen& tile)
{
    if (tile.ScreenGroup == 0)
        return;
    if (SelectedNo != tile.ScreenNo)
        selectTile(tile);
    btnDeleteClick();
    // The focus stays with the tiles while any is left, else goes to the
    // removed monitor's label to place it again.
    if (SelectedNo > 0)
        Screens[SelectedNo]->setFocus(Qt::TabFocusReason);
    else if (tile.PortLabel->isVisible())
        tile.PortLabel->setFocus(Qt::TabFocusReason);
    else
        cmbDevice->setFocus(Qt::TabFocusReason);
    StatusBar1->showMessage(QStringLiteral("%1 deleted").arg(tile.Title));
}

void TfrmGlidex::setKeyboardOrder()
{
    QWidget* previous = cmbDevice;
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (int unit = 0; unit < kUnitCount; ++unit) {
        for (int port = 1; port <= 4; ++port) {
            for (int monitor = 1; monitor <= 4; ++monitor)
                chain(Screens[unit * 4 + (monitor - 1) * kPortCount + port]->PortLabel);
        }
    }
    for (TScreen* tile : Screens)
        chain(tile);
    for (QWidget* field : std::initializer_list<QWidget*>{cmbResolution, chkPortrait, edtX, edtY, btnApply, btnDelete})
        chain(field);
}
