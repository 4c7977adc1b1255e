#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// The outputs of the Wayland compositor named by WAYLAND_DISPLAY, asked on
// a connection of their own: each one's name and its current mode, the
// monitor's size in device pixels, turned as the output is turned.
//
// Qt reports a screen's size in the compositor's scaled pixels and, before
// Qt 6.5, a whole-number scale: an output at 150 % reads as 1280 x 720 at
// scale 2, which is no monitor's size. The mode is what the monitor shows.
// Empty where there is no such compositor or it does not name its outputs.
struct WaylandOutput {
    QString Name;
    int32_t Width = 0;
    int32_t Height = 0;
};
std::vector<WaylandOutput> WaylandOutputs();
