#include "core/layout/MonitorArrangement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Fit = MonitorArrangement::Fit;

struct Case {
    const char* what;
    std::vector<ComputerMonitor> monitors;  // as the system reports them
    Fit fit;
    int32_t style;
    std::vector<DeskRect> tiles;  // monitor 1 to 4 of the style, from (0, 0)
};

ComputerMonitor at(int32_t x, int32_t y, int32_t width, int32_t height, double scale = 1.0)
{
    return {QStringLiteral("M"), x, y, width, height, scale};
}

// Every arrangement a port offers, read from positions in device pixels
// (X11, Windows) and in scaled pixels (Wayland), those no port offers, and
// those larger than a 60000 x 60000 desktop.
// The monitors are listed out of order, so the order must come from the
// positions.
const Case kCases[] = {
    {"single portrait monitor, not at the origin",
     {at(-1080, 300, 1080, 1920)}, Fit::Arranged, 0, {{0, 0, 1080, 1920}}},
    {"row of three different sizes, the middle one scaled 1.5 and 56 pixels lower",
     {at(3840, 0, 2560, 1440), at(0, 0, 1920, 1080), at(1920, 56, 1920, 1024, 1.5)},
     Fit::Arranged, 2, {{0, 0, 1920, 1080}, {1920, 56, 3840, 1080}, {3840, 0, 6400, 1440}}},
    {"row of two with a portrait monitor on the left",
     {at(1080, 420, 1920, 1080), at(0, 0, 1080, 1920)},
     Fit::Arranged, 1, {{0, 0, 1080, 1920}, {1080, 420, 3000, 1500}}},
    {"two rows of two, the bottom row of other sizes",
     {at(1280, 1080, 1920, 1200), at(1920, 0, 1920, 1080), at(0, 1080, 1280, 1024), at(0, 0, 1920, 1080)},
     Fit::Arranged, 4,
     {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}, {0, 1080, 1280, 2104}, {1280, 1080, 3200, 2280}}},
    {"stack of three, the middle one narrower",
     {at(0, 2104, 1920, 1080), at(0, 0, 1920, 1080), at(320, 1080, 1280, 1024)},
     Fit::Arranged, 6, {{0, 0, 1920, 1080}, {320, 1080, 1600, 2104}, {0, 2104, 1920, 3184}}},
    {"row where the left monitor is scaled 1.5 and the system counts in scaled pixels",
     {at(1280, 0, 1920, 1080), at(0, 0, 1920, 1080, 1.5)},
     Fit::Arranged, 1, {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}}},
    {"stack at scale 2 in scaled pixels: edge to edge as the style has it",
     {at(0, 0, 3840, 2160, 2.0), at(0, 1080, 2560, 1440, 2.0)},
     Fit::Arranged, 5, {{0, 0, 3840, 2160}, {0, 2160, 2560, 3600}}},
    {"L shape", {at(0, 0, 1920, 1080), at(1920, 0, 1920, 1080), at(0, 1080, 1920, 1080)}, Fit::NoStyle, 0, {}},
    {"diagonal pair touching at a corner", {at(0, 0, 1920, 1080), at(1920, 1080, 1920, 1080)}, Fit::NoStyle, 0, {}},
    {"two monitors mirrored", {at(0, 0, 1920, 1080), at(0, 0, 1920, 1080)}, Fit::NoStyle, 0, {}},
    {"four as two pairs, the second pair starting 80 pixels above the first one's bottom",
     {at(0, 0, 1920, 1080), at(1920, 0, 1920, 1080), at(0, 1080, 1920, 1080), at(3840, 1000, 1920, 1080)},
     Fit::NoStyle, 0, {}},
    {"five monitors",
     {at(0, 0, 800, 600), at(800, 0, 800, 600), at(1600, 0, 800, 600), at(2400, 0, 800, 600), at(3200, 0, 800, 600)},
     Fit::TooMany, 0, {}},
    {"none", {}, Fit::NoMonitors, 0, {}},
    {"row exactly as wide as the desktop",
     {at(0, 0, 30000, 1000), at(30000, 0, 30000, 2000)},
     Fit::Arranged, 1, {{0, 0, 30000, 1000}, {30000, 0, 60000, 2000}}},
    {"row one pixel wider than the desktop", {at(0, 0, 30000, 1000), at(30000, 0, 30001, 1000)}, Fit::TooLarge, 0, {}},
    {"stack one pixel higher than the desktop", {at(0, 0, 1000, 30001), at(0, 30001, 1000, 30000)}, Fit::TooLarge, 0, {}},
};

TEST(MonitorArrangement, MonitorsFindTheirStyleOrderAndPlaces)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const MonitorArrangement arrangement = ArrangeMonitors(c.monitors, {60000, 60000});
        EXPECT_EQ(arrangement.Result, c.fit);
        if (c.fit != Fit::Arranged)
            continue;
        EXPECT_EQ(arrangement.Style, c.style);
        EXPECT_EQ(arrangement.Monitors, c.tiles);
    }
}

TEST(ComputerMonitors, AListReadsBackAndABadOneSaysWhy)
{
    const std::vector<ComputerMonitor> monitors = {{QStringLiteral("DP-1"), -1920, 0, 1920, 1080, 1.5},
                                                   {QStringLiteral("HDMI-2"), 0, 0, 2560, 1440, 1.0}};
    const MonitorsRead read = ReadMonitorsJson(MonitorsJson(monitors));
    EXPECT_TRUE(read.Error.isEmpty());
    EXPECT_EQ(read.Monitors, monitors);
    EXPECT_EQ(MonitorsText(monitors), QStringLiteral("DP-1\t1920 x 1080 at -1920, 0\tscale 1.5\n"
                                                     "HDMI-2\t2560 x 1440 at 0, 0\tscale 1\n"));

    for (const char* bad : {"", "[1, 2]", R"({"screens": {}})", R"({"screens": [{"x": 0, "y": 0, "width": 0, "height": 1080}]})",
                            R"({"screens": [{"x": 0.5, "y": 0, "width": 1920, "height": 1080}]})",
                            R"({"screens": [{"x": 0, "y": 0, "width": 32768, "height": 1080}]})",
                            R"({"screens": [{"x": 0, "y": 0, "width": 1920, "height": 1080, "scale": 0}]})",
                            R"({"screens": [{"x": 0, "y": 0, "width": "1920", "height": 1080}]})"}) {
        SCOPED_TRACE(bad);
        const MonitorsRead refused = ReadMonitorsJson(bad);
        EXPECT_FALSE(refused.Error.isEmpty());
        EXPECT_TRUE(refused.Monitors.empty());
    }
}

}  // namespace
