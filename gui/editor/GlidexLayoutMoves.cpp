// The layout editor's whole-layout moves and the layout check.

#include "gui/editor/GlidexWindow.h"

#include "core/platform/Prompts.h"

#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

void TfrmGlidex::moveLayout(MoveDirection direction, const QAction* command)
{
    LayoutStep step;
    history_.Record(command->text(), [this, direction, &step] { step = model_.MoveLayout(direction); });
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;

    // Keep the layout's leading edge in view.
    QScrollBar* bar = vertical ? scrollLayout->verticalScrollBar() : scrollLayout->horizontalScrollBar();
    const QSize client = scrollLayout->viewport()->size();
    const ScrollAxis axis{bar->value(), vertical ? client.height() : client.width(),
                          vertical ? imgLayout->height() : imgLayout->width()};
    bar->setValue(ScrollAfterMove(step, towardStart, model_.Canvas(), axis));
}

void TfrmGlidex::mnuMoveUpClick()
{
    moveLayout(MoveDirection::Up, mnuMoveUp);
}

void TfrmGlidex::mnuMoveDownClick()
{
    moveLayout(MoveDirection::Down, mnuMoveDown);
}

void TfrmGlidex::mnuMoveLeftClick()
{
    moveLayout(MoveDirection::Left, mnuMoveLeft);
}

void TfrmGlidex::mnuMoveRightClick()
{
    moveLayout(MoveDirection::Right, mnuMoveRight);
}

void TfrmGlidex::mnuMoveTopLeftClick()
{
    history_.Record(mnuMoveTopLeft->text(), [this] { model_.MoveToTopLeft(); });
    scrollToTopLeft();
}

void TfrmGlidex::scrollToTopLeft()
{
    scrollLayout->horizontalScrollBar()->setValue(0);
    scrollLayout->verticalScrollBar()->setValue(0);
}

int32_t TfrmGlidex::CheckLayout(bool ShowErrors)
{
    // The check's move to the top-left corner is a step of its own.
    std::optional<OverlapPair> overlap;
    history_.Record(mnuCheck->text(), [this, &overlap] { overlap = model_.CheckLayout(); });
    if (overlap) {
        if (ShowErrors) {
            const QString message = model_.OverlapMessage(*overlap);
            // The status line keeps the result once the box is closed.
            StatusBar1->showMessage(message);
            prompts_.messageBox(this, message, QStringLiteral("Error"), MsgButtons::Ok);
        }
        return 2;
    }
    // The check moved the layout to the top-left corner.
    scrollToTopLeft();
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
