#include "core/layout/CanvasTransform.h"

#include <gtest/gtest.h>

namespace {

TEST(CanvasTransform, TileRectanglesFollowTheCanvasScale)
{
    EXPECT_EQ(CanvasTransform{10}.ToCanvas(DeskRect{0, 0, 1920, 1080}), QRect(0, 0, 192, 108));
    // Division truncates toward zero, also for positions typed left of 0.
    EXPECT_EQ(CanvasTransform{10}.ToCanvas(DeskRect{-15, 1089, -15 + 640, 1089 + 480}), QRect(-1, 108, 64, 48));
}

}  // namespace
