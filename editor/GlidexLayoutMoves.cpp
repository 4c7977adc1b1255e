// The layout editor's whole-layout moves and the layout check.

#include "editor/GlidexWindow.h"

#include "editor/ScreenGeometry.h"
#include "platform/Prompts.h"
#include "setup/LayoutRules.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

TileBoxes TfrmGlidex::tileBoxes() const
{
    TileBoxes boxes;
    for (int n = 1; n <= kScreenCount; ++n) {
        const TScreen& tile = *Screens[n];
        boxes[n] = {tile.ScreenGroup, tile.DeskBounds()};
    }
    return boxes;
}

void TfrmGlidex::shiftLayout(int64_t dx, int64_t dy)
{
    // Nothing moves: every tile is drawn where it is (as the check finds a
    // layout already at the origin).
    if (dx == 0 && dy == 0)
        return;
    for (TScreen* tile : Screens) {
        if (tile->ScreenGroup == 0)
            continue;
        // A tile pushed past the 32-bit range stays at its end.
        tile->DeskX = Saturated(tile->DeskX + dx);
        tile->DeskY = Saturated(tile->DeskY + dy);
        PaintScreen(*tile, tile->ScreenNo == SelectedNo);
    }
}

void TfrmGlidex::moveLayout(MoveDirection direction)
{
    const LayoutStep step = MoveStep(tileBoxes(), direction, deskLimits());
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;
    const int64_t shift = towardStart ? -step.Step : step.Step;
    shiftLayout(vertical ? 0 : shift, vertical ? shift : 0);

    // Keep the layout's leading edge in view.
    QScrollBar* bar = vertical ? scrollLayout->verticalScrollBar() : scrollLayout->horizontalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const ScrollAxis axis{bar->value(), vertical ? client.height() : client.width(),
                          vertical ? imgLayout->height() : imgLayout->width()};
    bar->setValue(ScrollAfterMove(step, towardStart, Canvas, axis));
}

void TfrmGlidex::mnuMoveUpClick()
{
    moveLayout(MoveDirection::Up);
}

void TfrmGlidex::mnuMoveDownClick()
{
    moveLayout(MoveDirection::Down);
}

void TfrmGlidex::mnuMoveLeftClick()
{
    moveLayout(MoveDirection::Left);
}

void TfrmGlidex::mnuMoveRightClick()
{
    moveLayout(MoveDirection::Right);
}

void TfrmGlidex::mnuMoveTopLeftClick()
{
    moveToTopLeft();
}

void TfrmGlidex::moveToTopLeft()
{
    const DeskOffset topLeft = LayoutTopLeft(tileBoxes(), deskLimits());
    shiftLayout(-int64_t{topLeft.X}, -int64_t{topLeft.Y});
    scrollLayout->horizontalScrollBar()->setValue(0);
    scrollLayout->verticalScrollBar()->setValue(0);
}

OverlapPair TfrmGlidex::findOverlappingPair() const
{
    return FirstOverlap(tileBoxes());
}

int32_t TfrmGlidex::CheckLayout(bool ShowErrors)
{
    const OverlapPair overlap = findOverlappingPair();
    if (overlap.First > 0) {
        if (ShowErrors) {
            const QString message = QStringLiteral("%1, %2 is intersected!")
                                        .arg(Screens[overlap.First]->Title, Screens[overlap.Second]->Title);
            // The status line keeps the result once the box is closed.
            StatusBar1->showMessage(message);
            prompts_.messageBox(this, message, QStringLiteral("Error"), MsgButtons::Ok);
        }
        return 2;
    }
    // A valid layout is always stored and sent from the desktop's origin:
    // whatever place on the canvas the user left it at, the leftmost and
    // topmost monitors start at 0, and typed negative positions come back
    // to 0.
    moveToTopLeft();
    return 0;
}

void TfrmGlidex::mnuCheckClick()
{
    if (CheckLayout(true) != 0)
        return;
    const QString message = QStringLiteral("Check Layout successed!");
    StatusBar1->showMessage(message);
    prompts_.messageBox(this, message, QStringLiteral("Info"), MsgButtons::Ok);
}
