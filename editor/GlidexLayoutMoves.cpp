// The layout editor's whole-layout moves and the overlap check.

#include "editor/GlidexWindow.h"

#include "editor/ScreenGeometry.h"
#include "platform/Prompts.h"

#include <QScrollArea>
#include <QScrollBar>

TileBoxes TfrmGlidex::tileBoxes() const
{
    TileBoxes boxes;
    for (int n = 1; n <= kScreenCount; ++n) {
        const TScreen& tile = *Screens[n];
        boxes[n] = {tile.ScreenGroup, {tile.DeskX, tile.DeskY, tile.DeskRight, tile.DeskBottom}};
    }
    return boxes;
}

void TfrmGlidex::shiftLayout(int32_t dx, int32_t dy)
{
    for (TScreen* tile : Screens) {
        if (tile->ScreenGroup == 0)
            continue;
        tile->DeskX += dx;
        tile->DeskRight += dx;
        tile->DeskY += dy;
        tile->DeskBottom += dy;
        PaintScreen(*tile, tile->ScreenNo == SelectedNo);
    }
}

void TfrmGlidex::moveLayout(MoveDirection direction)
{
    const LayoutStep step = MoveStep(tileBoxes(), direction, deskLimits());
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;
    const int32_t shift = towardStart ? -step.Step : step.Step;
    shiftLayout(vertical ? 0 : shift, vertical ? shift : 0);

    // Keep the layout's leading edge in view.
    QScrollBar* bar = vertical ? scrollLayout->verticalScrollBar() : scrollLayout->horizontalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const ScrollAxis axis{bar->value(), vertical ? client.height() : client.width(),
                          vertical ? imgLayout->height() : imgLayout->width()};
    bar->setValue(ScrollAfterMove(step, towardStart, ZoomDiv, axis));
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
    const DeskOffset topLeft = LayoutTopLeft(tileBoxes(), deskLimits());
    shiftLayout(-topLeft.X, -topLeft.Y);
    scrollLayout->horizontalScrollBar()->setValue(0);
    scrollLayout->verticalScrollBar()->setValue(0);
}

int32_t TfrmGlidex::CheckLayout(bool ShowErrors)
{
    const OverlapPair overlap = FirstOverlap(tileBoxes());
    if (overlap.First > 0) {
        if (ShowErrors) {
            prompts_.messageBox(this,
                                QStringLiteral("%1, %2 is intersected!")
                                    .arg(Screens[overlap.First]->Title, Screens[overlap.Second]->Title),
                                QStringLiteral("Error"), MsgButtons::Ok);
        }
        return 2;
    }
    mnuMoveTopLeftClick();
    return 0;
}

void TfrmGlidex::mnuCheckClick()
{
    if (CheckLayout(true) == 0)
        prompts_.messageBox(this, QStringLiteral("Check Layout successed!"), QStringLiteral("Info"), MsgButtons::Ok);
}
