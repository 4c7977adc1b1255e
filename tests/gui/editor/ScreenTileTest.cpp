#include "gui/editor/ScreenTile.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenTile, TextTopsFollowTheTileHeight)
{
    EXPECT_EQ(TileTextTops(108), (TextTops{30, 61}));  // 1920 x 1080
    EXPECT_EQ(TileTextTops(51), (TextTops{2, 33}));    // the last height of the tall rule
    EXPECT_EQ(TileTextTops(48), (TextTops{3, 29}));    // 640 x 480
    EXPECT_EQ(TileTextTops(30), (TextTops{-6, 20}));   // texts clipped at the top
    EXPECT_EQ(CenteredLeft(20, 33), -6);
}

}  // namespace
