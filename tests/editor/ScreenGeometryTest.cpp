#include "editor/ScreenGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenGeometry, TileRectanglesAndTextTopsFollowTheCanvasScale)
{
    EXPECT_EQ(TileCanvasRect(0, 0, 1920, 1080, 10), QRect(0, 0, 192, 108));
    // Division truncates toward zero, also for positions typed left of 0.
    EXPECT_EQ(TileCanvasRect(-15, 1089, 640, 480, 10), QRect(-1, 108, 64, 48));

    EXPECT_EQ(TileTextTops(108), (TextTops{30, 61}));  // 1920 x 1080
    EXPECT_EQ(TileTextTops(51), (TextTops{2, 33}));    // the last height of the tall rule
    EXPECT_EQ(TileTextTops(48), (TextTops{3, 29}));    // 640 x 480
    EXPECT_EQ(TileTextTops(30), (TextTops{-6, 20}));   // texts clipped at the top
    EXPECT_EQ(CenteredLeft(20, 33), -6);
}

TEST(ScreenGeometry, SizesFindTheirResolutionEntryInEitherOrientation)
{
    struct Case {
        int32_t width;
        int32_t height;
        ResolutionMatch expected;
    };
    const Case cases[] = {
        {1920, 1080, {10, false}}, {1080, 1920, {10, true}}, {640, 480, {0, false}}, {2160, 4096, {20, true}},
        // Sizes without an entry are shown as 1920 x 1080, turned when higher than wide.
        {1000, 2000, {10, true}},  {1024, 1024, {10, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchResolution(c.width, c.height), c.expected) << c.width << " x " << c.height;
    EXPECT_EQ(MonitorsOfStyle(4), 4);
    EXPECT_EQ(MonitorsOfStyle(5), 2);
    EXPECT_EQ(MonitorsOfStyle(-1), 1);
    EXPECT_EQ(MonitorsOfStyle(8), 1);
}

class MonitorTotals : public testing::Test {
protected:
    // Sets the sizes of monitors 1, 2, ... of computer port p.
    void setSizes(int p, std::initializer_list<DeskSize> sizes)
    {
        int n = p;
        for (const DeskSize& size : sizes) {
            layout.Port[n] = {7, 9, size.Width, size.Height};
            n += kPortCount;
        }
    }
    DeskOffset offset(int p, int monitor) const { return layout.MConfig[(monitor - 1) * kPortCount + p]; }

    KVM_LAYOUT layout;
    static constexpr DeskOffset kOld{-5, -5};
};

TEST_F(MonitorTotals, EachStyleArrangesItsOwnMonitors)
{
    layout.MStyle[2] = 5;
    setSizes(2, {{1920, 1080}, {1280, 1024}});
    layout.MStyle[7] = 4;
    setSizes(7, {{1920, 1080}, {1280, 1024}, {1920, 1200}, {1920, 1080}});
    layout.MStyle[3] = 3;
    setSizes(3, {{1080, 1920}, {1920, 1080}, {2560, 1440}, {640, 480}});
    layout.MStyle[1] = 1;
    setSizes(1, {{1920, 1080}, {1280, 1024}, {4096, 2160}});
    layout.MConfig[41] = kOld;
    StoreMonitorTotals(layout);

    EXPECT_EQ(layout.MTotal[2], (DeskSize{1920, 2104}));
    EXPECT_EQ(offset(2, 2), (DeskOffset{0, 1080}));
    EXPECT_EQ(layout.MTotal[7], (DeskSize{3840, 2280}));
    EXPECT_EQ(offset(7, 2), (DeskOffset{1920, 0}));
    EXPECT_EQ(offset(7, 3), (DeskOffset{0, 1080}));
    EXPECT_EQ(offset(7, 4), (DeskOffset{1920, 1080}));
    EXPECT_EQ(layout.MTotal[3], (DeskSize{6200, 1920}));
    EXPECT_EQ(offset(3, 4), (DeskOffset{5560, 0}));
    EXPECT_EQ(layout.MTotal[1], (DeskSize{3200, 1080}));  // monitor 3 is not counted
    EXPECT_EQ(offset(1, 3), kOld);
}

TEST_F(MonitorTotals, SingleStyleStoresNoTotalAndUnknownStylesAreSkipped)
{
    for (int p : {4, 5, 6}) {
        layout.MTotal[p] = {11, 22};
        for (int m = 1; m <= 4; ++m)
            layout.MConfig[(m - 1) * kPortCount + p] = kOld;
        setSizes(p, {{1920, 1080}, {1920, 1080}});
    }
    layout.MStyle[4] = 0;
    layout.MStyle[5] = 8;
    layout.MStyle[6] = -1;
    StoreMonitorTotals(layout);

    EXPECT_EQ(layout.MTotal[4], (DeskSize{0, 0}));
    EXPECT_EQ(offset(4, 1), (DeskOffset{0, 0}));
    for (int m = 2; m <= 4; ++m)
        EXPECT_EQ(offset(4, m), kOld);
    for (int p : {5, 6}) {
        EXPECT_EQ(layout.MTotal[p], (DeskSize{11, 22}));
        EXPECT_EQ(offset(p, 1), kOld);
    }
}

}  // namespace
