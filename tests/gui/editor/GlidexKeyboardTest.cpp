#include "gui/editor/EditorFixture.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The editor shown off screen and active, driven by key events only.
class GlidexKeyboardTest : public EditorFixture {
protected:
    TfrmGlidex& open()
    {
        showEditor();
        editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        find<QComboBox>("cmbDevice")->setFocus();
        return *editor;
    }

    static QString focusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
    static void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), modifiers);
    }
    static QString nameOf(QObject* object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); }
    static QAccessible::State stateOf(QObject* object) { return QAccessible::queryAccessibleInterface(object)->state(); }
};

TEST_F(GlidexKeyboardTest, TabGoesThroughUnitListLabelsTilesAndPanel)
{
    place(3, {4000, 0, 1920, 1080});
    place(1, {0, 0, 1920, 1080});
    TfrmGlidex& w = open();
    auto* edtX = find<QLineEdit>("edtX");

    QStringList order;
    for (int i = 0; i < 13; ++i) {
        key(Qt::Key_Tab);
        order << focusName();
    }
    EXPECT_EQ(order, QStringList({"PortLabel1", "PortLabel2", "PortLabel3", "PortLabel4", "Screen1", "Screen3",
                                  "cmbResolution", "chkPortrait", "edtX", "edtY", "btnApply", "btnDelete",
                                  "cmbDevice"}));
    // The tile that had the focus last is selected, as after a press.
    EXPECT_EQ(model().SelectedNo(), 3);
    EXPECT_EQ(edtX->text(), "4000");

    for (int i = 0; i < 8; ++i)
        key(Qt::Key_Backtab);
    EXPECT_EQ(focusName(), "Screen1");
    EXPECT_EQ(model().SelectedNo(), 1);
    EXPECT_EQ(edtX->text(), "0");
    EXPECT_TRUE(tile(1).Selected());
    EXPECT_FALSE(tile(3).Selected());
    EXPECT_TRUE(SaveScreenshot(&w, "keyboard-focus"));
    // Enter stays Apply's after Tab passed the Delete button.
    EXPECT_TRUE(find<QPushButton>("btnApply")->isDefault());
    EXPECT_FALSE(find<QPushButton>("btnDelete")->isDefault());
}

TEST_F(GlidexKeyboardTest, PlaceMoveAndDeleteWithKeysOnly)
{
    place(2, {5000, 3000, 1920, 1080});
    open();
    auto* scrollLayout = find<QScrollArea>("scrollLayout");
    key(Qt::Key_Tab);
    ASSERT_EQ(focusName(), "PortLabel1");
    key(Qt::Key_Space);
    EXPECT_EQ(screen(1).ScreenGroup, 1);
    EXPECT_EQ(focusName(), "Screen1");
    EXPECT_EQ(model().SelectedNo(), 1);

    struct Step {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        int X;
        int Y;
    };
    const Step steps[] = {
        {Qt::Key_Right, Qt::NoModifier, 10, 0},  // within snap range, yet not pulled back
        {Qt::Key_Left, Qt::NoModifier, 0, 0},
        {Qt::Key_Left, Qt::NoModifier, 0, 0},  // held at the border
        {Qt::Key_Up, Qt::NoModifier, 0, 0},
        {Qt::Key_Right, Qt::ShiftModifier, 3080, 0},  // right edge onto tile 2's left edge
        {Qt::Key_Right, Qt::ShiftModifier, 5000, 0},  // left edges line up
        {Qt::Key_Down, Qt::ShiftModifier, 5000, 1920},  // bottom edge onto tile 2's top edge
        {Qt::Key_Down, Qt::NoModifier, 5000, 1930},
        {Qt::Key_Up, Qt::ShiftModifier, 5000, 1920},
        {Qt::Key_Left, Qt::ShiftModifier | Qt::KeypadModifier, 3080, 1920},
    };
    for (const Step& step : steps) {
        key(step.Key, step.Modifiers);
        const QString where = QStringLiteral("1A, 1920 x 1080, at %1, %2").arg(step.X).arg(step.Y);
        EXPECT_EQ(nameOf(&tile(1)), where);
        EXPECT_EQ(find<QStatusBar>("StatusBar1")->currentMessage(), where);
        EXPECT_EQ(find<QLineEdit>("edtX")->text(), QString::number(step.X));
        EXPECT_EQ(find<QLineEdit>("edtY")->text(), QString::number(step.Y));
        EXPECT_EQ(tile(1).pos(), QPoint(step.X / 10, step.Y / 10));
    }

    // Out to the border: the view follows the tile, the pointer stays.
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Right, Qt::ShiftModifier);  // 5000, 6920, then the border
    EXPECT_EQ(screen(1).DeskRight(), 60000);
    const QRect view(QPoint(scrollLayout->horizontalScrollBar()->value(), scrollLayout->verticalScrollBar()->value()),
                     scrollLayout->viewport()->size());
    EXPECT_TRUE(view.contains(tile(1).geometry()));
    EXPECT_TRUE(pointer.moves.empty());

    // The menu shortcuts still move the whole layout from a focused tile.
    key(Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(screen(1).DeskY, 1920 + 1080);
    EXPECT_EQ(focusName(), "Screen1");

    // Delete removes the tile; the selection and the focus pass to tile 2,
    // and after it to the label of the last removed monitor.
    key(Qt::Key_Delete);
    EXPECT_EQ(screen(1).ScreenGroup, 0);
    EXPECT_EQ(model().SelectedNo(), 2);
    EXPECT_EQ(focusName(), "Screen2");
    key(Qt::Key_Delete);
    EXPECT_EQ(screen(2).ScreenGroup, 0);
    EXPECT_EQ(model().SelectedNo(), 0);
    EXPECT_EQ(focusName(), "PortLabel2");
}

TEST_F(GlidexKeyboardTest, EnterOnALabelAsksBeforeRemovingTheOtherSide)
{
    place(9, {0, 0, 1920, 1080});  // Slave 2, port 1
    open();
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    ASSERT_EQ(focusName(), "PortLabel2");

    prompts.answer(MsgAnswer::Cancel);
    key(Qt::Key_Return);
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "Slave 2 exist! Delete?");
    EXPECT_EQ(screen(2).ScreenGroup, 0);
    EXPECT_EQ(focusName(), "PortLabel2");

    prompts.answer(MsgAnswer::Ok);
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(screen(9).ScreenGroup, 0);
    EXPECT_EQ(screen(2).ScreenGroup, 1);
    EXPECT_EQ(focusName(), "Screen2");
    EXPECT_EQ(model().SelectedNo(), 2);
}

TEST_F(GlidexKeyboardTest, ScreenReaderSeesLabelsAndShownTilesOnly)
{
    KvmLayout.MStyle[2] = 1;  // master port 2 drives two monitors
    place(2, {3000, 0, 2560, 1440});
    place(1, {0, 0, 1920, 1080});
    open();

    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(tile(22).PortLabel);
    EXPECT_EQ(label->role(), QAccessible::Button);
    EXPECT_EQ(label->text(QAccessible::Name), "2B");
    EXPECT_EQ(label->text(QAccessible::Description), "Master Port 2 Monitor 2, not placed");
    EXPECT_TRUE(label->state().checkable);
    EXPECT_FALSE(label->state().checked);
    EXPECT_TRUE(stateOf(tile(2).PortLabel).checked);

    // Pressing it through the accessibility layer places the monitor.
    label->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
    EXPECT_EQ(screen(22).ScreenGroup, 1);
    EXPECT_TRUE(label->state().checked);
    EXPECT_EQ(label->text(QAccessible::Description), "Master Port 2 Monitor 2, placed");

    QAccessibleInterface* canvas = QAccessible::queryAccessibleInterface(find("imgLayout"));
    ASSERT_EQ(canvas->childCount(), 3);
    EXPECT_EQ(canvas->child(1)->object(), &tile(2));
    EXPECT_EQ(canvas->indexOfChild(QAccessible::queryAccessibleInterface(&tile(3))), -1);  // hidden
    EXPECT_EQ(canvas->indexOfChild(QAccessible::queryAccessibleInterface(&tile(22))), 2);

    QAccessibleInterface* tile2 = canvas->child(1);
    EXPECT_EQ(tile2->text(QAccessible::Name), "2A, 2560 x 1440, at 3000, 0");
    EXPECT_TRUE(tile2->state().focusable);
    EXPECT_FALSE(tile2->state().selected);
    tile(2).setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(tile2->state().selected);
    EXPECT_TRUE(tile2->state().focused);
    EXPECT_FALSE(stateOf(&tile(22)).selected);
}

}  // namespace
