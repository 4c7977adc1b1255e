#include "gui/editor/ScreenTile.h"

#include "core/layout/MonitorValues.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(ScreenTile, TextTopsFollowTheTileHeight)
{
    EXPECT_EQ(TileTextTops(108), (TextTops{30, 61}));  // 1920 x 1080
    EXPECT_EQ(TileTextTops(51), (TextTops{2, 33}));    // the last height of the tall rule
    EXPECT_EQ(TileTextTops(48), (TextTops{3, 29}));    // 640 x 480
    EXPECT_EQ(TileTextTops(30), (TextTops{-6, 20}));   // texts clipped at the top
    EXPECT_EQ(CenteredLeft(20, 33), -6);
}

// At Actual Size every landscape tile keeps both texts, the widest title
// too, cut at the sides; zoomed out, a tile keeps what fits whole.
TEST(ScreenTile, TextsAreDrawnWhereTheyFit)
{
    const QFontMetrics title(PointFont(QStringLiteral("Courier New"), 20, true));
    const QFontMetrics size(PointFont(QStringLiteral("MS Sans Serif"), 10, true));
    auto fits = [&](const QString& titleText, const QString& sizeText, QSize tile, int32_t zoomDiv) {
        const TextTops tops = TileTextTops(tile.height());
        return std::make_pair(
            TextFits({title.horizontalAdvance(titleText), title.height()}, tops.Title, tile, TitleMayBeCut(zoomDiv)),
            TextFits({size.horizontalAdvance(sizeText), size.height()}, tops.Size, tile, false));
    };
    for (const Resolution& r : ResTable) {
        EXPECT_EQ(fits("S4.4D", QStringLiteral("%1x%2").arg(r.Width).arg(r.Height), {r.Width / 10, r.Height / 10},
                       kActualSize),
                  std::make_pair(true, true))
            << r.Width << " x " << r.Height;
    }
    EXPECT_EQ(fits("1A", "1920x1080", {48, 27}, 40), std::make_pair(false, false));  // 1920 x 1080 at 40
    // Portrait 1080 x 1920 zoomed out: a title wider than the tile is not drawn.
    EXPECT_EQ(fits("S4.4D", "1080x1920", {54, 96}, 20), std::make_pair(false, false));
    EXPECT_EQ(fits("1B", "1080x1920", {27, 48}, 40), std::make_pair(false, false));
    EXPECT_EQ(fits("1B", "1080x1920", {54, 96}, 20), std::make_pair(true, false));
    // Both sides of each edge: width, top, bottom.
    EXPECT_TRUE(TextFits({40, 15}, 0, {40, 15}, false));
    EXPECT_FALSE(TextFits({41, 15}, 0, {40, 15}, false));
    EXPECT_FALSE(TextFits({20, 15}, -1, {40, 30}, true));
    EXPECT_FALSE(TextFits({20, 15}, 16, {40, 30}, true));
}

}  // namespace
