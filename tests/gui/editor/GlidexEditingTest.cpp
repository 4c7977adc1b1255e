#include "gui/editor/EditorFixture.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// The editor shown off screen, edited with the mouse, the panel and the menus.
class GlidexEditingTest : public EditorFixture {
protected:
    TfrmGlidex& open() { return showEditor(); }

    static QRect desk(const TScreen& t) { return QRect(QPoint(t.Data.DeskX, t.Data.DeskY), QPoint(t.Data.DeskRight(), t.Data.DeskBottom())); }
    bool marked(int n) const { return tile(n).grab().toImage().pixelColor(2, 2) == QColor(Qt::black); }
    QScrollBar* vertical() const { return find<QScrollArea>("scrollLayout")->verticalScrollBar(); }
    QScrollBar* horizontal() const { return find<QScrollArea>("scrollLayout")->horizontalScrollBar(); }

    // Sends a wheel turn to `widget` with the pointer at `at` inside it.
    static void wheel(QWidget* widget, QPoint at, int delta)
    {
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }
};

TEST_F(GlidexEditingTest, DraggedTileLandsFlushAgainstItsNeighbour)
{
    place(1, {0, 0, 1920, 1080});
    place(2, {5000, 300, 1920, 1080});
    TfrmGlidex& w = open();
    auto* Label1 = find<QLabel>("Label1");
    pointer.position = QPoint(700, 400);

    QTest::mousePress(&tile(2), Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(Label1->text(), "Down 20 30");
    // To a left edge 40 device pixels right of tile 1 and a top at 20.
    QTest::mouseMove(&tile(2), QPoint(20 - 304, 30 - 28));
    EXPECT_EQ(Label1->text(), "delta 20 30 Move -284 2, Pos 192 0");
    EXPECT_EQ(tile(2).pos(), QPoint(192, 0));
    EXPECT_EQ(find<QLineEdit>("edtX")->text(), "1920");
    EXPECT_EQ(find<QLineEdit>("edtY")->text(), "0");
    EXPECT_EQ(desk(tile(2)), QRect(QPoint(5000, 300), QPoint(6920, 1380)));  // until the release
    EXPECT_TRUE(SaveScreenshot(&w, "drag-snapped"));

    // The next move counts from the tile's new place: 3 canvas pixels down
    // are 30 device pixels, still within reach of the top border.
    QTest::mouseMove(&tile(2), QPoint(20, 33));
    EXPECT_EQ(tile(2).pos(), QPoint(192, 0));
    QTest::mouseRelease(&tile(2), Qt::LeftButton, {}, QPoint(20, 33));
    EXPECT_EQ(Label1->text(), "Up 20 33");
    EXPECT_EQ(desk(tile(2)), QRect(QPoint(1920, 0), QPoint(3840, 1080)));
    EXPECT_EQ(model().SelectedNo(), 2);
    EXPECT_TRUE(marked(2));
    EXPECT_TRUE(pointer.moves.empty());  // the tile stayed in view
}

TEST_F(GlidexEditingTest, PressAndReleaseWithoutMovingOnlySelects)
{
    place(1, {0, 0, 1920, 1080});
    place(2, {4000, 2000, 1920, 1080});
    open();
    select(1);

    QTest::mousePress(&tile(2), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(model().SelectedNo(), 1);
    QTest::mouseRelease(&tile(2), Qt::RightButton, {}, QPoint(5, 5));

    QTest::mouseClick(&tile(2), Qt::LeftButton, {}, QPoint(30, 40));
    EXPECT_EQ(model().SelectedNo(), 2);
    EXPECT_TRUE(marked(2));
    EXPECT_FALSE(marked(1));
    EXPECT_EQ(desk(tile(2)), QRect(QPoint(4000, 2000), QPoint(5920, 3080)));
    EXPECT_EQ(find<QLineEdit>("edtX")->text(), "4000");
    EXPECT_FALSE(model().DragArmed());

    // A move without the button held drags nothing.
    QTest::mouseMove(&tile(2), QPoint(90, 40));
    EXPECT_EQ(tile(2).pos(), QPoint(400, 200));
}

TEST_F(GlidexEditingTest, DragPastTheViewScrollsAndTakesThePointerAlong)
{
    place(1, {0, 0, 1920, 1080});
    open();
    const int client = find<QScrollArea>("scrollLayout")->viewport()->width();
    pointer.position = QPoint(700, 400);

    // More than half the tile (192 canvas pixels wide) beyond the right edge.
    QTest::mousePress(&tile(1), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(&tile(1), QPoint(20 + client - 95, 20));
    EXPECT_EQ(horizontal()->value(), 192);
    EXPECT_EQ(pointer.moves, std::vector<QPoint>({QPoint(508, 400)}));

    // Dragged back past the left edge: the view scrolls to its start, and
    // the pointer stays.
    QTest::mouseMove(&tile(1), QPoint(20 - (client - 95) + 150, 20));
    EXPECT_EQ(horizontal()->value(), 0);
    EXPECT_EQ(pointer.moves.size(), 1u);
    QTest::mouseRelease(&tile(1), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(screen(1).DeskX, 1500);
}

TEST_F(GlidexEditingTest, WhereThePointerCannotMoveTheTileStaysUnderItAcrossTheEdges)
{
    place(1, {3000, 2000, 1920, 1080});  // 192 x 108 canvas pixels at 300, 200
    open();
    pointer.movable = false;
    const QWidget* view = find<QScrollArea>("scrollLayout")->viewport();
    const QPoint grab(30, 20);
    QPoint at = tile(1).mapToGlobal(grab);
    auto moveBy = [&](QPoint step) {
        at += step;
        QTest::mouseMove(&tile(1), tile(1).mapFromGlobal(at));
        return tile(1).mapToGlobal(grab) == at;
    };

    // Out past the right edge, then down past the bottom one, 7 pixels a
    // motion: the view scrolls a tile's width as the tile leaves it, and the
    // grabbed point stays under the pointer at every motion.
    QTest::mousePress(&tile(1), Qt::LeftButton, {}, grab);
    while (view->mapFromGlobal(at).x() < view->width() + 20)
        ASSERT_TRUE(moveBy({7, 0})) << view->mapFromGlobal(at).x();
    const int scrolledX = horizontal()->value();
    EXPECT_GT(scrolledX, 0);
    EXPECT_EQ(scrolledX % 192, 0);
    while (view->mapFromGlobal(at).y() < view->height() + 20)
        ASSERT_TRUE(moveBy({0, 7})) << view->mapFromGlobal(at).y();
    EXPECT_GT(vertical()->value(), 0);
    EXPECT_EQ(vertical()->value() % 108, 0);
    // Down along the right edge: no sideways scrolling.
    EXPECT_EQ(horizontal()->value(), scrolledX);
    EXPECT_FALSE(pointer.moves.empty());  // the pointer was asked, and refused

    // Held still beyond the edges, the view goes on scrolling and takes the
    // tile along, until the release.
    const QPoint before(horizontal()->value(), vertical()->value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return horizontal()->value() > before.x() && vertical()->value() > before.y(); }));
    EXPECT_EQ(tile(1).mapToGlobal(grab), at);
    QTest::mouseRelease(&tile(1), Qt::LeftButton, {}, tile(1).mapFromGlobal(at));
    const QPoint released(horizontal()->value(), vertical()->value());
    QTest::qWait(200);
    EXPECT_EQ(QPoint(horizontal()->value(), vertical()->value()), released);
    const QPoint canvasAt = find("imgLayout")->mapFromGlobal(at) - grab;
    EXPECT_EQ(QPoint(screen(1).DeskX, screen(1).DeskY), canvasAt * 10);
}

TEST_F(GlidexEditingTest, ApplyTakesTheResolutionAndEveryValidPosition)
{
    place(5, {3000, 500, 1920, 1080});
    place(7, {0, 0, 1920, 1080});
    TfrmGlidex& w = open();
    auto* cmbResolution = find<QComboBox>("cmbResolution");
    auto* edtX = find<QLineEdit>("edtX");
    auto* edtY = find<QLineEdit>("edtY");
    auto* btnApply = find<QPushButton>("btnApply");
    select(5);

    cmbResolution->setCurrentIndex(0);
    edtX->setText(QStringLiteral("abc"));
    edtY->setText(QStringLiteral("100"));
    btnApply->click();
    EXPECT_EQ(desk(tile(5)), QRect(QPoint(3000, 100), QPoint(3640, 580)));
    EXPECT_EQ(screen(5).ResIndex, 0);
    EXPECT_EQ(tile(5).geometry(), QRect(300, 10, 64, 48));
    EXPECT_EQ(edtX->text(), "3000");

    // Portrait 1920 x 1080 stands 1080 wide and 1920 high; a position left of
    // the canvas is taken as typed.
    cmbResolution->setCurrentIndex(10);
    find<QCheckBox>("chkPortrait")->setChecked(true);
    edtX->setText(QStringLiteral("-40"));
    QTest::keyClick(edtX, Qt::Key_Return);  // Apply is the default button
    EXPECT_TRUE(screen(5).Portrait);
    EXPECT_EQ(desk(tile(5)), QRect(QPoint(-40, 100), QPoint(1040, 2020)));
    EXPECT_EQ(tile(5).Picture(), QRect(-4, 10, 108, 192));
    EXPECT_EQ(tile(5).geometry(), QRect(0, 10, 104, 192));  // the part on the canvas
    EXPECT_TRUE(SaveScreenshot(&w, "apply-portrait"));

    // Positions at the ends of the 32-bit range are taken too.
    edtX->setText(QStringLiteral("2147483647"));
    edtY->setText(QStringLiteral("-2147483648"));
    btnApply->click();
    EXPECT_EQ(screen(5).DeskX, 2147483647);
    EXPECT_EQ(screen(5).DeskY, INT32_MIN);

    // Delete takes it off the canvas and selects the next placed tile.
    find<QPushButton>("btnDelete")->click();
    EXPECT_EQ(screen(5).ScreenGroup, 0);
    EXPECT_EQ(model().SelectedNo(), 7);
}

TEST_F(GlidexEditingTest, MasterPortAndSlaveExcludeEachOther)
{
    KvmLayout.MStyle[10] = 1;
    place(9, {0, 0, 1920, 1080});      // Slave 2, port 1
    place(30, {0, 1080, 1920, 1080});  // Slave 2, port 2, monitor 2
    place(3, {1920, 0, 1920, 1080});
    open();
    select(3);

    prompts.answer(MsgAnswer::Cancel);
    QTest::mouseClick(tile(2).PortLabel, Qt::LeftButton);
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "Slave 2 exist! Delete?");
    EXPECT_EQ(prompts.boxes()[0].caption, "Confirm");
    EXPECT_EQ(prompts.boxes()[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(screen(2).ScreenGroup, 0);
    EXPECT_EQ(screen(9).ScreenGroup, 1);
    EXPECT_EQ(model().SelectedNo(), 3);

    prompts.answer(MsgAnswer::Ok);
    QTest::mouseClick(tile(2).PortLabel, Qt::LeftButton);
    EXPECT_EQ(screen(9).ScreenGroup, 0);
    EXPECT_EQ(screen(30).ScreenGroup, 0);
    EXPECT_EQ(screen(3).ScreenGroup, 1);
    EXPECT_EQ(screen(2).ScreenGroup, 1);
    EXPECT_EQ(tile(2).pos(), QPoint(0, 0));  // its stored place, though tile 9 was there
    EXPECT_EQ(model().SelectedNo(), 2);
    EXPECT_TRUE(marked(2));
    EXPECT_FALSE(marked(3));

    // From the other side: Slave 2's label while master port 2 is placed.
    find<QComboBox>("cmbDevice")->setCurrentIndex(2);
    prompts.answer(MsgAnswer::Ok);
    QTest::mouseClick(tile(10).PortLabel, Qt::LeftButton);
    EXPECT_EQ(prompts.boxes().back().text, "Master 2 exist! Delete?");
    EXPECT_EQ(screen(2).ScreenGroup, 0);
    EXPECT_EQ(model().SelectedNo(), 10);

    // A placed monitor's label does nothing, not even select it.
    QTest::mouseClick(tile(9).PortLabel, Qt::LeftButton);
    EXPECT_EQ(model().SelectedNo(), 9);
    QTest::mouseClick(tile(9).PortLabel, Qt::LeftButton);
    QTest::mouseClick(tile(10).PortLabel, Qt::LeftButton);
    EXPECT_EQ(model().SelectedNo(), 9);
    EXPECT_EQ(prompts.boxes().size(), 3u);
}

TEST_F(GlidexEditingTest, WheelScrollsOneLineOverTheCanvasOnly)
{
    open();
    auto* Label1 = find<QLabel>("Label1");
    QWidget* canvas = find<QScrollArea>("scrollLayout")->viewport();
    wheel(canvas, QPoint(100, 100), -360);
    EXPECT_EQ(vertical()->value(), 50);
    EXPECT_EQ(Label1->text(), QStringLiteral("form wheel %1 %2")
                                  .arg(canvas->mapToGlobal(QPoint(100, 100)).x())
                                  .arg(canvas->mapToGlobal(QPoint(100, 100)).y()));
    wheel(canvas, QPoint(100, 100), -120);
    wheel(canvas, QPoint(100, 100), 120);
    EXPECT_EQ(vertical()->value(), 50);
    wheel(canvas, QPoint(100, 100), 120);
    wheel(canvas, QPoint(100, 100), 120);
    EXPECT_EQ(vertical()->value(), 0);  // the view stops at its start

    Label1->setText(QString());
    wheel(find("panScreen"), QPoint(5, 5), -120);
    EXPECT_EQ(vertical()->value(), 0);
    EXPECT_EQ(Label1->text(), "");
    EXPECT_EQ(model().Canvas().ZoomDiv, 10);
}

TEST_F(GlidexEditingTest, CheckNamesTheFirstOverlapOrMovesTheLayoutToTheTopLeft)
{
    place(1, {500, 300, 1920, 1080});
    place(2, {2419, 900, 1920, 1080});  // one pixel over tile 1
    place(3, {500, 3000, 1920, 1080});
    TfrmGlidex& w = open();
    auto* mnuCheck = find<QAction>("mnuCheck");
    vertical()->setValue(100);

    EXPECT_EQ(w.CheckLayout(false), 2);
    EXPECT_TRUE(prompts.boxes().empty());
    prompts.answer(MsgAnswer::Ok);
    mnuCheck->trigger();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "1A, 2A is intersected!");
    EXPECT_EQ(prompts.boxes()[0].caption, "Error");
    EXPECT_EQ(screen(1).DeskX, 500);
    EXPECT_EQ(vertical()->value(), 100);

    select(2);
    find<QLineEdit>("edtX")->setText(QStringLiteral("2420"));
    find<QPushButton>("btnApply")->click();
    prompts.answer(MsgAnswer::Ok);
    mnuCheck->trigger();
    ASSERT_EQ(prompts.boxes().size(), 2u);
    EXPECT_EQ(prompts.boxes()[1].text, "Check Layout successed!");
    EXPECT_EQ(prompts.boxes()[1].caption, "Info");
    EXPECT_EQ(desk(tile(1)), QRect(QPoint(0, 0), QPoint(1920, 1080)));
    EXPECT_EQ(desk(tile(2)), QRect(QPoint(1920, 600), QPoint(3840, 1680)));
    EXPECT_EQ(tile(3).pos(), QPoint(0, 270));
    EXPECT_EQ(vertical()->value(), 0);
    EXPECT_TRUE(marked(2));
}

TEST_F(GlidexEditingTest, MoveShortcutsShiftTheWholeLayoutWhateverHasTheFocus)
{
    place(1, {3000, 5000, 1920, 1080});
    place(2, {4920, 5000, 1080, 1920});
    TfrmGlidex& w = open();
    auto* edtX = find<QLineEdit>("edtX");
    select(1);
    QStringList items;
    for (QAction* action : find<QMenu>("mnuMove")->actions())
        items << action->text();
    EXPECT_EQ(items, QStringList({"Move Up", "Move Down", "Move Left", "Move Right", "Move to Top-Left"}));

    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    edtX->setFocus();
    QTest::keyClick(edtX, Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(desk(tile(1)).topLeft(), QPoint(3000, 3080));  // by the tallest, 1920
    EXPECT_EQ(screen(2).DeskBottom(), 5000);
    QTest::keyClick(edtX, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(screen(1).DeskX, 1080);  // by the widest, 1920
    QTest::keyClick(edtX, Qt::Key_L, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(screen(1).DeskX, 0);  // no further than the border
    QTest::keyClick(edtX, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(edtX, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(desk(tile(1)).topLeft(), QPoint(1920, 5000));
    EXPECT_EQ(desk(tile(2)), QRect(QPoint(3840, 5000), QPoint(4920, 6920)));
    EXPECT_EQ(tile(2).pos(), QPoint(384, 500));
    EXPECT_EQ(edtX->text(), "1920");  // the selected tile's panel follows
}

TEST_F(GlidexEditingTest, MovingTheLayoutKeepsItsLeadingEdgeInView)
{
    place(1, {0, 20000, 1920, 1080});
    TfrmGlidex& w = open();
    const int client = find<QScrollArea>("scrollLayout")->viewport()->height();

    // The new top, canvas 1892, lies above the view: back by a view less a step.
    vertical()->setValue(2000);
    w.mnuMoveUpClick();
    EXPECT_EQ(screen(1).DeskY, 18920);
    EXPECT_EQ(vertical()->value(), 2000 - (client - 108));

    // The new bottom, canvas 2108, lies below the view: on by a view less a step.
    vertical()->setValue(1000);
    w.mnuMoveDownClick();
    EXPECT_EQ(screen(1).DeskY, 20000);
    EXPECT_EQ(vertical()->value(), 1000 + client - 108);
}

TEST_F(GlidexEditingTest, EditMenuUndoesAndRedoesADragWhereTheUserSeesIt)
{
    place(1, {0, 0, 1920, 1080});
    place(2, {5000, 300, 1920, 1080});
    TfrmGlidex& w = open();
    auto* MainMenu = find<QMenuBar>("MainMenu");
    auto* mnuEdit = find<QMenu>("mnuEdit");
    auto* mnuUndo = find<QAction>("mnuUndo");
    auto* mnuRedo = find<QAction>("mnuRedo");
    auto* cmbDevice = find<QComboBox>("cmbDevice");
    auto* edtX = find<QLineEdit>("edtX");
    auto* StatusBar1 = find<QStatusBar>("StatusBar1");
    EXPECT_EQ(MainMenu->actions().at(1), mnuEdit->menuAction());
    EXPECT_EQ(mnuEdit->actions(), QList<QAction*>({mnuUndo, mnuRedo}));
    EXPECT_FALSE(mnuUndo->isEnabled());
    EXPECT_TRUE(mnuRedo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QList<QKeySequence> keys;  // no two commands share a key
    for (const QAction* action : w.findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts())
            EXPECT_FALSE(keys.contains(key)) << key.toString().toStdString();
        keys << action->shortcuts();
    }

    QTest::mousePress(&tile(2), Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseMove(&tile(2), QPoint(-80, 80));
    QTest::mouseRelease(&tile(2), Qt::LeftButton, {}, QPoint(-80, 80));
    EXPECT_EQ(mnuUndo->text(), "Undo Move 2A");
    mnuEdit->popup(w.mapToGlobal(QPoint(40, MainMenu->height())));
    EXPECT_TRUE(SaveScreenshot(mnuEdit, "open"));
    mnuEdit->hide();

    // Looking elsewhere: tile 1 selected, Slave 1's labels, the view scrolled away.
    QTest::mouseClick(&tile(1), Qt::LeftButton, {}, QPoint(5, 5));
    cmbDevice->setCurrentIndex(1);
    horizontal()->setValue(3000);
    mnuUndo->trigger();
    EXPECT_EQ(tile(2).pos(), QPoint(500, 30));
    EXPECT_TRUE(marked(2));
    EXPECT_FALSE(marked(1));
    EXPECT_EQ(edtX->text(), "5000");
    EXPECT_EQ(cmbDevice->currentIndex(), 0);
    EXPECT_LE(horizontal()->value(), 500);
    EXPECT_EQ(StatusBar1->accessibleName(), "Undone: Move 2A");
    EXPECT_FALSE(mnuUndo->isEnabled());
    EXPECT_EQ(mnuRedo->text(), "Redo Move 2A");

    // On a tile the keys are the menu's; a position field keeps its own Ctrl+Z.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    tile(2).setFocus();
    QTest::keyClick(&tile(2), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(tile(2).pos(), QPoint(400, 80));
    EXPECT_EQ(StatusBar1->currentMessage(), "Redone: Move 2A");
    edtX->setFocus();
    QTest::keyClicks(edtX, "7");
    QTest::keyClick(edtX, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edtX->text(), "4000");
    EXPECT_EQ(tile(2).pos(), QPoint(400, 80));
}

}  // namespace
