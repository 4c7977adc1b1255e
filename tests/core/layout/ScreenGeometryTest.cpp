#include "core/layout/ScreenGeometry.h"

#include "core/layout/CanvasTransform.h"

#include <gtest/gtest.h>

namespace {

// Tiles for the layout rules: n -> rectangle, placed in group 1.
class LayoutRules : public testing::Test {
protected:
    void place(int n, int32_t x, int32_t y, int32_t width = 1920, int32_t height = 1080, int32_t group = 1)
    {
        tiles[n] = {group, {x, y, x + width, y + height}};
    }
    // Tile 80, 1920 x 1080, dragged to (x, y) and snapped.
    DeskRect drag(int32_t x, int32_t y)
    {
        place(80, 0, 0);
        return SnapToEdges(tiles, 80, {x, y, x + 1920, y + 1080}, kDesk, 50);
    }

    static constexpr DeskLimits kDesk{60000, 60000};
    TileBoxes tiles;
};

TEST_F(LayoutRules, DraggedEdgesSnapWithin50DevicePixels)
{
    place(1, 10000, 10000);
    // Far below the neighbour: only the left edge comes within reach.
    EXPECT_EQ(drag(11970, 30000), (DeskRect{11920, 30000, 13840, 31080}));
    EXPECT_EQ(drag(11971, 30000), (DeskRect{11971, 30000, 13891, 31080}));
    EXPECT_EQ(drag(10030, 30000).Left, 10000);  // onto the neighbour's left edge
    EXPECT_EQ(drag(30000, 8960), (DeskRect{30000, 8920, 31920, 10000}));  // bottom onto its top

    // The canvas border beats a tile at the same distance.
    place(2, 80, 20000);
    place(4, 59920, 22000);
    EXPECT_EQ(drag(40, 20500).Left, 0);
    EXPECT_EQ(drag(58040, 20500).Right, 60000);

    // Equally near edges of two tiles: the lower tile number wins.
    place(3, 31940, 40000);
    place(5, 29980, 42000);  // right edge 31900
    EXPECT_EQ(drag(31920, 45000).Left, 31940);
    place(3, 29980, 40000);
    place(5, 31940, 42000);
    EXPECT_EQ(drag(31920, 45000).Left, 31900);

    // Tiles off the canvas or of another group offer nothing.
    place(3, 40000, 0, 1920, 1080, 0);
    place(5, 40000, 0, 1920, 1080, 2);
    EXPECT_EQ(drag(41950, 5000).Left, 41950);
}

TEST_F(LayoutRules, OnATieTheLeftAndTopEdgesSnap)
{
    place(1, 8080, 20000);   // right edge 10000
    place(2, 11980, 25000);  // the dragged right edge 11950 is as near
    EXPECT_EQ(drag(10030, 40000).Left, 10000);
    place(3, 40000, 8920);   // bottom 10000
    place(4, 45000, 11140);  // the dragged bottom 11110 is as near
    EXPECT_EQ(drag(50000, 10030).Top, 10000);
    // Only the right edge in reach.
    EXPECT_EQ(drag(43050, 40000), (DeskRect{43080, 40000, 45000, 41080}));
}

TEST_F(LayoutRules, ClampKeepsTheTileOnTheDesktopInBorderOrder)
{
    EXPECT_EQ(ClampToDesk({-500, 100, 1420, 1180}, kDesk), (DeskRect{0, 100, 1920, 1180}));
    EXPECT_EQ(ClampToDesk({100, -7, 2020, 1073}, kDesk), (DeskRect{100, 0, 2020, 1080}));
    EXPECT_EQ(ClampToDesk({59000, 100, 60920, 1180}, kDesk), (DeskRect{58080, 100, 60000, 1180}));
    EXPECT_EQ(ClampToDesk({100, 59500, 2020, 60580}, kDesk), (DeskRect{100, 58920, 2020, 60000}));
    // Wider than the desktop: the right border is applied last and wins.
    EXPECT_EQ(ClampToDesk({-10, 0, 59990 + 100, 1080}, {60000, 60000}).Left, -100);
}

TEST_F(LayoutRules, OverlapNeedsOnePixelInCommonWithinTheGroup)
{
    EXPECT_EQ(FirstOverlap(tiles), std::nullopt);  // an empty layout
    place(1, 0, 0);
    place(2, 1920, 0);     // shares an edge
    place(3, 1920, 1080);  // touches a corner
    place(4, 0, 1080, 0, 500);  // no width
    EXPECT_EQ(FirstOverlap(tiles), std::nullopt);

    place(9, 1919, 3000);
    place(6, 1000, 3500);
    place(4, 1000, 2500);  // overlaps 9 and 6
    EXPECT_EQ(FindOverlap(tiles, 9), 4);
    EXPECT_EQ(FirstOverlap(tiles), (OverlapPair{4, 6}));

    tiles[4].Group = 0;  // off the canvas: neither found nor searched
    tiles[6].Group = 2;
    EXPECT_EQ(FindOverlap(tiles, 4), 0);
    EXPECT_EQ(FirstOverlap(tiles), std::nullopt);
    place(2, 1919, 0);
    EXPECT_EQ(FirstOverlap(tiles), (OverlapPair{1, 2}));
}

TEST_F(LayoutRules, LayoutStepsByItsLargestMonitorUpToTheBorder)
{
    for (MoveDirection d : {MoveDirection::Up, MoveDirection::Down, MoveDirection::Left, MoveDirection::Right})
        EXPECT_EQ(MoveStep(tiles, d, kDesk).Step, 0) << static_cast<int>(d);

    place(1, 3000, 5000);
    place(21, 9000, 7000, 1080, 1920);
    tiles[40] = {0, {0, 0, 5000, 5000}};  // not placed: not counted
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Up, kDesk), (LayoutStep{1920, 5000}));
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Down, kDesk), (LayoutStep{1920, 8920}));
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Left, kDesk), (LayoutStep{1920, 3000}));

    place(1, 56080, 0);  // right edge 58000, 2000 short; widest 1920
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Right, kDesk), (LayoutStep{1920, 58000}));
    place(1, 57080, 0);
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Right, kDesk), (LayoutStep{1000, 59000}));
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Up, kDesk).Step, 0);  // the top is at 0
    place(1, -100, -100);
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Up, kDesk).Step, -100);
    EXPECT_EQ(MoveStep(tiles, MoveDirection::Left, kDesk).Step, -100);
    EXPECT_EQ(LayoutTopLeft(tiles, kDesk), (DeskOffset{-100, -100}));
}

TEST(ScrollRules, MovesKeepTheLeadingEdgeInView)
{
    const CanvasTransform kCanvas{10};
    // Up by 1920 from a top at 5000: the new top, canvas 308, lies above the view.
    EXPECT_EQ(ScrollAfterMove({1920, 5000}, true, kCanvas, {400, 500, 6000}), 92);
    EXPECT_EQ(ScrollAfterMove({1920, 5000}, true, kCanvas, {350, 600, 6000}), 0);
    EXPECT_EQ(ScrollAfterMove({1920, 5000}, true, kCanvas, {300, 600, 6000}), 300);  // still in view
    EXPECT_EQ(ScrollAfterMove({-100, -100}, true, kCanvas, {300, 600, 6000}), 300);  // moved back: no scroll
    // Down by 1920 from a bottom at 6000, and near the end of the range.
    EXPECT_EQ(ScrollAfterMove({1920, 6000}, false, kCanvas, {0, 500, 6000}), 308);
    EXPECT_EQ(ScrollAfterMove({1920, 58000}, false, kCanvas, {5400, 500, 6000}), 5500);
}

TEST(ScrollRules, DragScrollingFollowsTheTileAndMovesThePointerWithIt)
{
    EXPECT_EQ(ScrollToFollow(-5, 192, {1000, 800, 6000}), (FollowScroll{808, 192}));
    EXPECT_EQ(ScrollToFollow(-5, 192, {100, 800, 6000}), (FollowScroll{0, 0}));
    EXPECT_EQ(ScrollToFollow(700, 192, {0, 800, 6000}), (FollowScroll{0, 0}));  // less than half out
    EXPECT_EQ(ScrollToFollow(705, 192, {0, 800, 6000}), (FollowScroll{192, -192}));
    EXPECT_EQ(ScrollToFollow(705, 192, {5000, 800, 6000}), (FollowScroll{5200, -200}));
    EXPECT_EQ(ScrollToFollow(705, 192, {5200, 800, 6000}), (FollowScroll{5200, 0}));
}

TEST(ScrollRules, PointerHeldAtTheEdgeScrollsTowardItUntilTheCanvasBorder)
{
    // A view of 800 at 1000 over 6000: the zones are [..., 8) and [792, ...).
    EXPECT_EQ(ScrollAtEdge(7, {1000, 800, 6000}), 960);
    EXPECT_EQ(ScrollAtEdge(-300, {1000, 800, 6000}), 960);  // beyond the edge
    EXPECT_EQ(ScrollAtEdge(8, {1000, 800, 6000}), 1000);
    EXPECT_EQ(ScrollAtEdge(791, {1000, 800, 6000}), 1000);
    EXPECT_EQ(ScrollAtEdge(792, {1000, 800, 6000}), 1040);
    // The last step stops at the border.
    EXPECT_EQ(ScrollAtEdge(0, {25, 800, 6000}), 0);
    EXPECT_EQ(ScrollAtEdge(799, {5190, 800, 6000}), 5200);
    EXPECT_EQ(ScrollAtEdge(799, {5200, 800, 6000}), 5200);
}

TEST_F(LayoutRules, AlignmentStepStopsAtTheNextEdgeOnTheWay)
{
    place(1, 15000, 30000, 2560, 1440);  // edges x 15000, 17560; y 30000, 31440
    place(2, 12000, 12000, 1920, 1080, 2);  // another group: no stops
    place(4, 59000, 0);  // its far edge and its left edge as a right edge lie off the desktop
    place(80, 0, 0);  // the moving tile, 1920 x 1080
    struct Step {
        int32_t From;
        MoveDirection Direction;
        int64_t To;
    };
    const Step steps[] = {
        {10000, MoveDirection::Right, 13080},  // right edge onto tile 1's left edge
        {13080, MoveDirection::Right, 15000},  // left edges line up
        {15000, MoveDirection::Right, 15640},  // right edges line up
        {15640, MoveDirection::Right, 17560},
        {17560, MoveDirection::Right, 57080},  // right edge onto tile 4's left edge
        {57080, MoveDirection::Right, 58080},  // the border
        {58080, MoveDirection::Right, 58080},  // nothing further
        {15640, MoveDirection::Left, 15000},
        {13080, MoveDirection::Left, 0},
        {0, MoveDirection::Left, 0},
        {10000, MoveDirection::Down, 28920},  // bottom edge onto tile 1's top edge
        {30360, MoveDirection::Down, 31440},
        {10000, MoveDirection::Up, 1080},  // top edge onto tile 4's bottom edge
        {1080, MoveDirection::Up, 0},
    };
    for (const Step& step : steps) {
        const bool vertical = step.Direction == MoveDirection::Up || step.Direction == MoveDirection::Down;
        const int32_t x = vertical ? 20000 : step.From;
        const int32_t y = vertical ? step.From : 20000;
        const DeskRect moved = NextAlignment(tiles, 80, {x, y, x + 1920, y + 1080}, step.Direction, kDesk);
        const int64_t to = vertical ? moved.Top : moved.Left;
        EXPECT_EQ(to, step.To) << "from " << step.From << " direction " << static_cast<int>(step.Direction);
        EXPECT_EQ(moved.Right - moved.Left, 1920);
        EXPECT_EQ(vertical ? moved.Left : moved.Top, 20000);
    }
}

}  // namespace
