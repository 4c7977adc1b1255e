#include "core/layout/LayoutModel.h"
#include "core/layout/MonitorValues.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The editor's working layout without a window: loaded from layout tables,
// edited through its rules, and what each edit reports.
class LayoutModelTest : public testing::Test {
protected:
    LayoutModelTest()
    {
        QObject::connect(&model, &LayoutModel::changed, [this](const LayoutChange& change) { changes.push_back(change); });
    }

    void place(int n, PortRect rect)
    {
        layout.Group[n] = 1;
        layout.Port[n] = rect;
    }
    std::vector<int> placed() const
    {
        std::vector<int> numbers;
        for (const LayoutScreen& screen : model.Screens()) {
            if (screen.ScreenGroup != 0)
                numbers.push_back(screen.ScreenNo);
        }
        return numbers;
    }
    const LayoutScreen& screen(int n) const { return model.Screens()[n]; }
    DeskRect bounds(int n) const { return screen(n).DeskBounds(); }

    KVM_LAYOUT layout;
    LayoutModel model{CanvasTransform{10}, 6000, 6000};
    std::vector<LayoutChange> changes;
};

TEST_F(LayoutModelTest, LoadingFindsResolutionsAndSkipsEmptyEntries)
{
    place(1, {0, 0, 1080, 1920});
    place(2, {1080, 0, 1000, 2000});
    place(3, {2080, 0, 1024, 1024});
    place(4, {0, 2000, 0, 1080});               // no width: not placed whatever its group
    layout.Port[21] = {500, 600, 1280, 1024};  // group 0: loaded but not placed
    place(7, {9000, 0, 1920, 1080});
    layout.Group[7] = 3;
    model.LoadFromConfig(layout);

    EXPECT_EQ(placed(), std::vector<int>({1, 2, 3, 7}));
    EXPECT_EQ(std::make_pair(screen(1).ResIndex, screen(1).Portrait), std::make_pair(10, true));
    EXPECT_EQ(std::make_pair(screen(2).ResIndex, screen(2).Portrait), std::make_pair(kOwnSize, true));
    EXPECT_EQ(bounds(2), (DeskRect{1080, 0, 2080, 2000}));
    EXPECT_EQ(std::make_pair(screen(3).ResIndex, screen(3).Portrait), std::make_pair(kOwnSize, false));
    EXPECT_EQ(screen(7).ScreenGroup, 1);  // painting makes every monitor one of the current group
    EXPECT_EQ(screen(21).DeskX, 500);
    EXPECT_EQ(screen(21).ResIndex, 4);

    model.Select(3);
    model.LoadFromConfig(layout);  // a reload ends the selection
    EXPECT_EQ(model.SelectedNo(), 0);
    ASSERT_TRUE(changes.back().PanelChanged);
    EXPECT_EQ(changes.back().PanelScreen, 0);
}

TEST_F(LayoutModelTest, StoringWritesMonitorsAndTheTotalsOfTheirPorts)
{
    place(1, {100, 200, 1920, 1080});
    layout.Port[21] = {300, 400, 1280, 1024};  // monitor 2 of port 1, not placed
    model.LoadFromConfig(layout);
    layout = KVM_LAYOUT{};
    layout.MStyle[1] = 1;
    model.StoreToConfig(layout);

    EXPECT_EQ(layout.Group[1], 1);
    EXPECT_EQ(layout.Port[1], (PortRect{100, 200, 1920, 1080}));
    EXPECT_EQ(layout.Group[21], 0);
    EXPECT_EQ(layout.Port[21], (PortRect{0, 0, 1280, 1024}));
    EXPECT_EQ(layout.Port[80], (PortRect{0, 0, 1920, 1080}));  // never loaded: the initial size
    EXPECT_EQ(layout.MTotal[1], (DeskSize{3200, 1080}));      // the unplaced monitor counts too
}

TEST_F(LayoutModelTest, RemovingTheSelectedMonitorPassesTheSelectionUpwardAndWraps)
{
    place(3, {0, 0, 1920, 1080});
    place(5, {1920, 0, 1920, 1080});
    place(80, {3840, 0, 1920, 1080});
    model.LoadFromConfig(layout);
    model.Select(80);
    model.RemoveScreen(80);
    EXPECT_EQ(model.SelectedNo(), 3);
    EXPECT_EQ(screen(80).DeskX, 3840);  // the desktop place is kept
    // Tile 80 leaves the canvas, tile 3 is drawn selected and fills the panel.
    ASSERT_EQ(changes.back().Painted.size(), 1u);
    EXPECT_EQ(changes.back().Painted[0].ScreenNo, 3);
    EXPECT_TRUE(changes.back().Painted[0].Selected);
    EXPECT_EQ(changes.back().Removed, std::vector<int32_t>({80}));
    EXPECT_EQ(changes.back().PanelScreen, 3);

    model.RemoveScreen(5);  // not the selected one
    EXPECT_EQ(model.SelectedNo(), 3);
    model.RemoveScreen(3);  // the last placed monitor
    EXPECT_EQ(model.SelectedNo(), 0);
    EXPECT_EQ(changes.back().PanelScreen, 0);
    EXPECT_TRUE(placed().empty());
}

// A monitor 1280 x 1024 dragged toward a 2560 x 1440 one: each of its edges
// snaps at exactly 50 device pixels (5 canvas pixels), never at 51, and the
// release puts it down where the last step left it.
TEST_F(LayoutModelTest, DraggedEdgesSnapAtTheSnapDistanceAndNotOnePast)
{
    place(1, {20000, 20000, 2560, 1440});
    place(2, {0, 40000, 1280, 1024});
    model.LoadFromConfig(layout);
    struct Case {
        int32_t X, Y;           // where the step would put the dragged monitor
        int64_t Left, Top;      // where it lands
    };
    const Case cases[] = {
        {20000 - 1280 - 50, 30000, 20000 - 1280, 30000},  // right edge onto tile 1's left edge
        {20000 - 1280 - 51, 30000, 20000 - 1280 - 51, 30000},
        {40000, 20000 - 1024 - 50, 40000, 20000 - 1024},  // bottom edge onto tile 1's top edge
        {40000, 20000 - 1024 - 51, 40000, 20000 - 1024 - 51},
        {22560 + 50, 30000, 22560, 30000},  // left edge onto tile 1's right edge
        {22560 + 51, 30000, 22560 + 51, 30000},
        {30000, 21440 + 50, 30000, 21440},  // top edge onto tile 1's bottom edge
        {30000, 21440 + 51, 30000, 21440 + 51},
        {60000 - 1280 + 40, 30000, 60000 - 1280, 30000},  // past the right border: held there
    };
    for (const Case& c : cases) {
        model.BeginDrag(2);
        const DeskRect to = model.DragStep(2, int64_t{c.X} - screen(2).DeskX, int64_t{c.Y} - screen(2).DeskY);
        EXPECT_EQ(to, (DeskRect{c.Left, c.Top, c.Left + 1280, c.Top + 1024})) << c.X << "," << c.Y;
        model.EndDrag(2);
        EXPECT_EQ(bounds(2), to);
    }
    EXPECT_EQ(model.SelectedNo(), 2);

    // A press and release without a move leaves the monitor where it is.
    const DeskRect before = bounds(2);
    model.BeginDrag(2);
    model.EndDrag(2);
    EXPECT_EQ(bounds(2), before);
}

// At every zoom step: a 2560 x 1440 monitor's canvas place, a snap range of
// five canvas pixels (not six, nor one device pixel past five) for a
// 1280 x 1024 monitor dragged toward it, and an arrow key's step of one.
TEST_F(LayoutModelTest, ZoomStepsConvertSnapAndStepInCanvasPixels)
{
    place(1, {20000, 20000, 2560, 1440});
    place(2, {0, 40000, 1280, 1024});
    model.LoadFromConfig(layout);
    struct Case {
        int32_t ZoomDiv;
        QRect Tile1;
        int Canvas;
    };
    const Case cases[] = {
        {5, {4000, 4000, 512, 288}, 12000}, {10, {2000, 2000, 256, 144}, 6000}, {20, {1000, 1000, 128, 72}, 3000},
        {40, {500, 500, 64, 36}, 1500},     {80, {250, 250, 32, 18}, 750},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(model.SetZoom(c.ZoomDiv));
        EXPECT_EQ(model.Canvas().ToCanvas(bounds(1)), c.Tile1);
        EXPECT_EQ(model.CanvasSize(), QSize(c.Canvas, c.Canvas));
        for (const int64_t gap : {5 * c.ZoomDiv, 5 * c.ZoomDiv + 1, 6 * c.ZoomDiv}) {
            // The right edge toward tile 1's left edge, then the bottom toward its top.
            model.BeginDrag(2);
            EXPECT_FALSE(model.SetZoom(40));  // not during a drag
            const DeskRect right = model.DragStep(2, 20000 - 1280 - gap - screen(2).DeskX, 30000 - screen(2).DeskY);
            const DeskRect bottom = model.DragStep(2, 40000 - right.Left, 20000 - 1024 - gap - right.Top);
            model.EndDrag(2);
            const int64_t edge = gap == 5 * c.ZoomDiv ? 20000 : 20000 - gap;
            EXPECT_EQ(std::make_pair(right.Right, bottom.Bottom), std::make_pair(edge, edge))
                << c.ZoomDiv << ", " << gap;
        }
        const int32_t x = screen(2).DeskX;
        model.KeyStep(2, MoveDirection::Right, false);
        EXPECT_EQ(screen(2).DeskX, x + c.ZoomDiv);
    }
    EXPECT_FALSE(model.SetZoom(30));
    EXPECT_EQ(model.Canvas().ZoomDiv, 80);
    EXPECT_EQ(model.MaxDeskX(), 60000);
}

// The whole layout steps by its tallest monitor vertically and by its widest
// horizontally, which differ here, and keyboard steps move one monitor.
TEST_F(LayoutModelTest, LayoutMovesByTallestAndWidestAndKeysMoveOneMonitor)
{
    place(1, {3000, 5000, 2560, 1440});
    place(2, {5560, 5000, 1080, 1920});
    model.LoadFromConfig(layout);

    EXPECT_EQ(model.MoveLayout(MoveDirection::Up).Step, 1920);
    EXPECT_EQ(bounds(1).Top, 3080);
    EXPECT_EQ(model.MoveLayout(MoveDirection::Left).Step, 2560);
    EXPECT_EQ(bounds(1).Left, 440);
    EXPECT_EQ(model.MoveLayout(MoveDirection::Left).Step, 440);  // no further than the border
    EXPECT_EQ(bounds(2), (DeskRect{2560, 3080, 3640, 5000}));    // the arrangement is kept

    model.KeyStep(2, MoveDirection::Right, false);
    EXPECT_EQ(bounds(2).Left, 2570);  // one canvas pixel
    EXPECT_EQ(model.SelectedNo(), 2);
    model.KeyStep(2, MoveDirection::Left, true);
    EXPECT_EQ(bounds(2).Left, 2560);  // its left edge onto tile 1's right edge
    EXPECT_EQ(bounds(1), (DeskRect{0, 3080, 2560, 4520}));
}

TEST_F(LayoutModelTest, PlacingFromALabelAnswersTheConflictAndRemovesTheOtherSide)
{
    layout.MStyle[10] = 1;
    place(9, {0, 0, 1920, 1080});      // Slave 2, port 1
    place(30, {0, 1080, 1920, 1080});  // Slave 2, port 2, monitor 2
    place(3, {1920, 0, 1920, 1080});
    model.LoadFromConfig(layout);
    model.Select(3);

    EXPECT_FALSE(model.CanPlace(3));  // already on the canvas
    EXPECT_FALSE(model.CanPlace(81));
    const PortConflict slave = model.ConflictOf(2);
    EXPECT_EQ(slave.With, PortConflict::Side::Slave);
    EXPECT_EQ(slave.Number, 2);
    model.PlaceFromLabel(2, true);
    EXPECT_EQ(placed(), std::vector<int>({2, 3}));
    EXPECT_EQ(model.SelectedNo(), 2);
    EXPECT_EQ(bounds(2).Left, 0);  // its stored place, though tile 9 was there
    const LayoutChange& change = changes.back();
    ASSERT_EQ(change.Painted.size(), 2u);  // 3 unmarked first, then 2 in front of it
    EXPECT_EQ(change.Painted[0].ScreenNo, 3);
    EXPECT_FALSE(change.Painted[0].Selected);
    EXPECT_EQ(change.Painted[1].ScreenNo, 2);
    EXPECT_TRUE(change.Painted[1].Selected);

    const PortConflict master = model.ConflictOf(11);  // Slave 2, port 3: its unit counts, not its port
    EXPECT_EQ(master.With, PortConflict::Side::Master);
    EXPECT_EQ(master.Number, 2);
    EXPECT_EQ(model.ConflictOf(5).With, PortConflict::Side::None);  // Slave 1 and master port 1: none placed
}

}  // namespace
