#include "core/layout/CanvasZoom.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(CanvasZoom, StepsHoldAtTheEndsAndTheViewKeepsTheAnchoredPoint)
{
    EXPECT_EQ(ZoomStep(10, 1), 5);
    EXPECT_EQ(ZoomStep(5, 1), 5);
    EXPECT_EQ(ZoomStep(40, -1), 80);
    EXPECT_EQ(ZoomStep(80, -1), 80);
    EXPECT_EQ(ZoomStep(20, 3), 5);  // several notches at once
    EXPECT_EQ(ZoomText(80), "Zoom 12.5%");
    // A view 800 long at 1000 over 6000: canvas pixel 1400 (device 14005)
    // stays 400 from the view's start.
    EXPECT_EQ(ScrollAfterZoom({1000, 800, 6000}, 400, 10, 20), 300);
    EXPECT_EQ(ScrollAfterZoom({1000, 800, 6000}, 400, 10, 5), 2401);
    EXPECT_EQ(ScrollAfterZoom({2401, 800, 12000}, 400, 5, 10), 1000);
    EXPECT_EQ(ScrollAfterZoom({11200, 800, 12000}, 0, 5, 10), 5200);  // held at the end of the range
    EXPECT_EQ(ScrollAfterZoom({5200, 800, 6000}, 400, 10, 80), 0);    // a canvas shorter than the view

    WheelNotches wheel;
    EXPECT_EQ(std::vector<int>({wheel.Add(40), wheel.Add(40), wheel.Add(40)}), std::vector<int>({0, 0, 1}));
    EXPECT_EQ(std::vector<int>({wheel.Add(60), wheel.Add(-60), wheel.Add(-60)}), std::vector<int>({0, 0, -1}));
}

// A view 1000 wide and 500 high.
TEST(CanvasZoom, FitTakesTheLargestScaleThatShowsEveryPlacedTile)
{
    struct Case {
        std::vector<DeskRect> Tiles;
        std::optional<ZoomFit> Fit;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{{30000, 30000, 31920, 31080}}, ZoomFit{5, {6000 - 308, 6000 - 142}}},  // centred in the view
        // 20000 wide: 1000 canvas pixels at 20 fit exactly; 20 more do not.
        {{{10000, 10000, 11920, 11080}, {28080, 10000, 30000, 11080}}, ZoomFit{20, {500, 500 - 223}}},
        {{{10000, 10000, 11920, 11080}, {28100, 10000, 30020, 11080}}, ZoomFit{40, {0, 250 - 236}}},
        // 10000 high: 500 canvas pixels at 20 fit exactly; 20 more do not.
        {{{10000, 10000, 11080, 11920}, {10000, 18080, 11080, 20000}}, ZoomFit{20, {500 - 473, 500}}},
        {{{10000, 10000, 11080, 11920}, {10000, 18100, 11080, 20020}}, ZoomFit{40, {0, 250 - 125}}},
        // Too high even at 80: its top-left corner at the view's.
        {{{2000, 8000, 5840, 10160}, {2000, 57840, 5840, 60000}}, ZoomFit{80, {0, 100}}},
        // Typed left of the desktop: its part on it counts, 750 at 40.
        {{{-50000, 0, 30000, 1080}}, ZoomFit{40, {0, 0}}},
    };
    for (const Case& c : cases) {
        TileBoxes tiles;
        tiles[80] = {0, {0, 0, 60000, 60000}};  // not placed: not counted
        for (std::size_t i = 0; i < c.Tiles.size(); ++i)
            tiles[static_cast<int>(i) + 1] = {1, c.Tiles[i]};
        EXPECT_EQ(FitToView(tiles, {60000, 60000}, {1000, 500}), c.Fit) << c.Tiles.size();
    }
}

// At 20 in a view 1000 wide and 500 high: tile 1 is canvas (500, 500)
// 96 x 54, tile 2 (600, 500), tile 3 (1500, 1500) 100 x 100, tile 4 left of
// the desktop; tile 80, not placed, covers it all.
TEST(CanvasZoom, AViewLeftEmptyCentresTheSelectedTileElseTheLayout)
{
    struct Case {
        std::vector<int> Placed;
        int Selected;
        QPoint Scroll;
        std::optional<QPoint> To;
    };
    const Case cases[] = {
        {{1, 3}, 1, {0, 0}, QPoint(500 - 452, 500 - 223)},  // the view ends just above tile 1
        {{1, 3}, 1, {0, 1}, std::nullopt},                   // its top row shows
        {{1, 2}, 0, {0, 0}, QPoint(500 - 402, 500 - 223)},   // the layout, 196 x 54
        {{1, 2}, 80, {0, 0}, QPoint(500 - 402, 500 - 223)},  // the selected tile not placed
        {{1, 2, 4}, 4, {0, 0}, QPoint(500 - 402, 500 - 223)},  // nor on the desktop
        {{1, 3}, 0, {2000, 2000}, QPoint(500, 500)},  // the layout larger than the view: its corner
        {{4}, 4, {0, 0}, std::nullopt},
    };
    const DeskRect rects[] = {{10000, 10000, 11920, 11080}, {12000, 10000, 13920, 11080},
                              {30000, 30000, 32000, 32000}, {-5000, 0, -3080, 1080}};
    for (const Case& c : cases) {
        TileBoxes tiles;
        tiles[80] = {0, {0, 0, 60000, 60000}};
        for (int n : c.Placed)
            tiles[n] = {1, rects[n - 1]};
        EXPECT_EQ(ScrollToTiles(tiles, c.Selected, {60000, 60000}, 20, c.Scroll, {1000, 500}), c.To)
            << c.Selected << " " << c.Scroll.x();
    }
}

}  // namespace
