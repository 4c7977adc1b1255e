// The layout editor's keyboard editing: placing monitors from their focused
// port labels, selecting a tile by giving it the focus, moving it with the
// arrow keys and deleting it.

#include "gui/editor/GlidexWindow.h"

#include "gui/editor/PortLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>

void TfrmGlidex::PortLabelKey(TScreen& tile)
{
    PortLabelClick(tile.PortLabel);
    if (tile.Data.ScreenGroup != 0)
        tile.setFocus(Qt::TabFocusReason);
}

void TfrmGlidex::ScreenFocused(TScreen& tile)
{
    if (tile.Data.ScreenGroup == 0)
        return;
    if (model_.SelectedNo() != tile.Data.ScreenNo) {
        model_.Select(tile.Data.ScreenNo);
        StatusBar1->clearMessage();
    }
    scrollLayout->ensureWidgetVisible(&tile);
}

void TfrmGlidex::ScreenKeyMove(TScreen& tile, MoveDirection direction, bool toAlignment)
{
    if (tile.Data.ScreenGroup == 0)
        return;
    const int32_t n = tile.Data.ScreenNo;
    history_.Record(QStringLiteral("Move %1").arg(tile.Data.Title),
                    [this, n, direction, toAlignment] { model_.KeyStep(n, direction, toAlignment); }, n);
    scrollLayout->ensureWidgetVisible(&tile);
    StatusBar1->showMessage(ScreenSummary(tile.Data));
}

void TfrmGlidex::ScreenKeyDelete(TScreen& tile)
{
    if (tile.Data.ScreenGroup == 0)
        return;
    if (model_.SelectedNo() != tile.Data.ScreenNo)
        model_.Select(tile.Data.ScreenNo);
    btnDeleteClick();
    // The focus stays with the tiles while any is left, else goes to the
    // removed monitor's label to place it again.
    if (model_.SelectedNo() > 0)
        screens_[model_.SelectedNo()]->setFocus(Qt::TabFocusReason);
    else if (tile.PortLabel->isVisible())
        tile.PortLabel->setFocus(Qt::TabFocusReason);
    else
        cmbDevice->setFocus(Qt::TabFocusReason);
    StatusBar1->showMessage(QStringLiteral("%1 deleted").arg(tile.Data.Title));
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
                chain(screens_[unit * 4 + (monitor - 1) * kPortCount + port]->PortLabel);
        }
    }
    for (TScreen* tile : screens_)
        chain(tile);
    for (QWidget* field : std::initializer_list<QWidget*>{cmbResolution, chkPortrait, edtX, edtY, btnApply, btnDelete})
        chain(field);
}
