#pragma once

#include "core/layout/ComputerMonitors.h"
#include "core/layout/ScreenGeometry.h"

#include <cstdint>
#include <vector>

// Which monitor style a computer's monitors stand in, and where their tiles
// go: side by side (styles 1 to 3), two rows of two (4), stacked (5 to 7),
// or a single monitor (0).
//
// The system's own positions tell the arrangement. A system that places its
// monitors in device pixels (X11, Windows) gives sizes that fit those
// positions; one that places them in its own scaled pixels (Wayland) gives
// positions that fit the device sizes divided by each monitor's scale. The
// device sizes are taken where no two monitors then overlap, else the
// scaled ones. Monitors side by side share a band of rows and follow each
// other without overlapping, left to right; stacked ones likewise top to
// bottom; two rows of two are two such pairs, one wholly above the other.
//
// The tiles take the device sizes and stand where the system places the
// monitors, moved so that the arrangement starts at (0, 0); where the
// positions are in scaled pixels, they stand edge to edge as the style
// places them. An arrangement wider or higher than the desktop `desk` fits
// nowhere on it.
struct MonitorArrangement {
    enum class Fit { Arranged, NoMonitors, TooMany, NoStyle, TooLarge };
    Fit Result = Fit::NoMonitors;
    int32_t Style = 0;
    // Monitor 1 to 4 of the style, in device pixels from the arrangement's
    // top-left corner; none unless Arranged.
    std::vector<DeskRect> Monitors;
    // The size of all of them together, also when TooLarge.
    int64_t Width = 0;
    int64_t Height = 0;
};

MonitorArrangement ArrangeMonitors(const std::vector<ComputerMonitor>& monitors, DeskLimits desk);
