#include "gui/editor/EditorFixture.h"
#include "support/Screenshots.h"

#include <QAccessible>
#include <QAction>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// The editor shown off screen and active, zoomed with the View menu, its
// keys and Ctrl with the wheel.
class GlidexZoomTest : public EditorFixture {
protected:
    QScrollArea* area() const { return find<QScrollArea>("scrollLayout"); }
    QPoint scroll() const { return {area()->horizontalScrollBar()->value(), area()->verticalScrollBar()->value()}; }
    void scrollTo(QPoint at) const
    {
        area()->horizontalScrollBar()->setValue(at.x());
        area()->verticalScrollBar()->setValue(at.y());
    }
    int32_t zoomDiv() const { return model().Canvas().ZoomDiv; }
    void wheel(QPoint at, int delta) const
    {
        QWheelEvent event(at, area()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area()->viewport(), &event);
    }
};

TEST_F(GlidexZoomTest, MenuAndKeysZoomAroundTheViewCentreAndChangeNoStoredValue)
{
    place(2, {22000, 10000, 1080, 1920});
    const KVM_LAYOUT loaded = KvmLayout;
    showEditor().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    select(2);
    tile(2).setFocus(Qt::TabFocusReason);
    scrollTo({1800, 700});
    // The middle of the canvas pixel at the view's centre.
    const QPoint centre(area()->viewport()->width() / 2, area()->viewport()->height() / 2);
    const QPoint device = (QPoint(1800, 700) + centre) * 10 + QPoint(5, 5);
    struct Step {
        const char* Command;  // else the key
        QKeyCombination Key;
        int32_t ZoomDiv;
        QRect Tile2;
        bool In, Out;
    };
    const Step steps[] = {
        {"mnuZoomOut", {}, 20, {1100, 500, 54, 96}, true, true},
        {nullptr, Qt::ControlModifier | Qt::Key_Minus, 40, {550, 250, 27, 48}, true, true},
        {"mnuZoomOut", {}, 80, {275, 125, 13, 24}, true, false},
        {"mnuActualSize", {}, 10, {2200, 1000, 108, 192}, true, true},
        {nullptr, Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Equal, 5, {4400, 2000, 216, 384}, false, true},
        {nullptr, Qt::ControlModifier | Qt::Key_0, 10, {2200, 1000, 108, 192}, true, true},
        {nullptr, Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus, 5, {4400, 2000, 216, 384}, false, true},
    };
    for (const Step& step : steps) {
        if (step.Command)
            find<QAction>(step.Command)->trigger();
        else
            QTest::keyClick(QApplication::focusWidget(), step.Key.key(), step.Key.keyboardModifiers());
        EXPECT_EQ(zoomDiv(), step.ZoomDiv);
        if (&step == steps) {  // the first zoom keeps that desktop point at the centre
            EXPECT_EQ(scroll() + centre, QPoint(device.x() / 20, device.y() / 20));
        }
        EXPECT_EQ(find("imgLayout")->size(), QSize(60000 / step.ZoomDiv, 60000 / step.ZoomDiv));
        EXPECT_EQ(tile(2).geometry(), step.Tile2) << step.ZoomDiv;
        EXPECT_EQ(find<QAction>("mnuZoomIn")->isEnabled(), step.In) << step.ZoomDiv;
        EXPECT_EQ(find<QAction>("mnuZoomOut")->isEnabled(), step.Out) << step.ZoomDiv;
    }
    EXPECT_EQ(find<QStatusBar>("StatusBar1")->currentMessage(), "Zoom 200%");
    // From a view that would show no tile, the selected one comes to its centre.
    const QSize view = area()->viewport()->size();
    for (const Step& step : {steps[3], steps[4]}) {
        scrollTo({0, 0});
        find<QAction>(step.Command ? step.Command : "mnuZoomIn")->trigger();
        EXPECT_EQ(scroll(), step.Tile2.topLeft() - QPoint((view.width() - step.Tile2.width()) / 2,
                                                          (view.height() - step.Tile2.height()) / 2))
            << step.ZoomDiv;
    }
    EXPECT_TRUE(tile(2).Selected());
    // No step to undo, and every stored value and spoken name as loaded.
    EXPECT_FALSE(find<QAction>("mnuUndo")->isEnabled());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&tile(2))->text(QAccessible::Name),
              "2A, 1080 x 1920, at 22000, 10000");
    editor->StoreToConfig();
    EXPECT_EQ(KvmLayout.Port[2], loaded.Port[2]);
}

TEST_F(GlidexZoomTest, CtrlWheelKeepsThePointUnderThePointerAndFitShowsEveryTile)
{
    KvmLayout.MStyle[1] = 1;
    place(1, {23000, 12000, 1920, 1080});  // under the pointer: canvas 2300, 1200 at Actual Size
    place(21, {1920, 0, 1080, 1920});
    place(2, {3000, 0, 2560, 1440});
    place(3, {0, 1920, 3840, 2160});
    TfrmGlidex& w = showEditor();
    scrollTo({2000, 1000});
    const QPoint at(300, 200);

    wheel(at, 120);
    EXPECT_EQ(zoomDiv(), 5);
    EXPECT_EQ(scroll(), QPoint(23005 / 5 - 300, 12005 / 5 - 200));
    for (int turn = 0; turn < 3; ++turn)  // a touchpad's small turns add up to a notch
        wheel(at, -40);
    EXPECT_EQ(zoomDiv(), 10);
    EXPECT_EQ(scroll(), QPoint(2000, 1000));
    QTest::mousePress(&tile(1), Qt::LeftButton, {}, QPoint(5, 5));
    wheel(at, 120);  // not during a drag
    QTest::mouseRelease(&tile(1), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(zoomDiv(), 10);

    // The layout, 24920 x 13080, is 654 canvas pixels high at 20: too high
    // for the view; at 40 it fits.
    select(2);
    find<QAction>("mnuZoomToFit")->trigger();
    ASSERT_LT(area()->viewport()->height(), 13080 / 20);
    EXPECT_EQ(zoomDiv(), 40);
    for (int n : {1, 21, 2, 3})
        EXPECT_TRUE(QRect(scroll(), area()->viewport()->size()).contains(tile(n).geometry())) << n;
    EXPECT_TRUE(SaveScreenshot(&w, "zoom-to-fit"));

    // At 80 a 1920 x 1080 tile is 24 x 13: its outline and colour, no text.
    find<QAction>("mnuZoomOut")->trigger();
    EXPECT_TRUE(SaveScreenshot(&w, "zoom-smallest"));
    QImage aqua(22, 11, QImage::Format_ARGB32);
    aqua.fill(QColor(0, 255, 255));
    EXPECT_EQ(tile(1).grab(QRect(1, 1, 22, 11)).toImage().convertToFormat(QImage::Format_ARGB32), aqua);

    model().NewLayout();
    find<QAction>("mnuZoomToFit")->trigger();  // nothing placed: Actual Size
    EXPECT_EQ(zoomDiv(), 10);
}

}  // namespace
