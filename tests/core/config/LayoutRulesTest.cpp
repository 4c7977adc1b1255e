#include "core/config/LayoutRules.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(StyleRules, EachStyleCountsItsMonitorsAndUnknownStylesOne)
{
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
    layout.MStyle[8] = 4;  // the columns differ in width, row by row
    setSizes(8, {{1280, 1024}, {1920, 1080}, {2560, 1440}, {1920, 1200}});
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
    EXPECT_EQ(layout.MTotal[8], (DeskSize{4480, 2520}));
    EXPECT_EQ(offset(8, 2), (DeskOffset{1280, 0}));
    EXPECT_EQ(offset(8, 4), (DeskOffset{2560, 1080}));
    EXPECT_EQ(layout.MTotal[3], (DeskSize{6200, 1920}));
    EXPECT_EQ(offset(3, 4), (DeskOffset{5560, 0}));
    EXPECT_EQ(layout.MTotal[1], (DeskSize{3200, 1080}));  // monitor 3 is not counted
    EXPECT_EQ(offset(1, 3), kOld);
}

TEST_F(MonitorTotals, SumsBeyond32BitsStayAtTheEndOfTheRange)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    layout.MStyle[1] = 3;
    setSizes(1, {{kMax, 1}, {kMax, 2}, {-5, 3}, {1, 4}});
    layout.MStyle[2] = 7;
    setSizes(2, {{1, kMin}, {1, kMin}, {1, 5}, {1, 6}});
    StoreMonitorTotals(layout);

    EXPECT_EQ(layout.MTotal[1], (DeskSize{kMax, 4}));
    EXPECT_EQ(offset(1, 2), (DeskOffset{kMax, 0}));
    EXPECT_EQ(offset(1, 4), (DeskOffset{kMax, 0}));
    EXPECT_EQ(layout.MTotal[2], (DeskSize{1, kMin}));
    EXPECT_EQ(offset(2, 3), (DeskOffset{0, kMin}));
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
