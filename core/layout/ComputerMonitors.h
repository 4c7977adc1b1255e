#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A computer's monitors as its window system reports them, and their
// forms for people and programs: one line each, or a JSON document that the
// layout editor reads back, so that a computer away from the switch's
// serial line can be measured where it stands.

struct ComputerMonitor {
    QString Name;
    // Where the system places the monitor on its desktop.
    int32_t X = 0;
    int32_t Y = 0;
    // Its size in device pixels: what the monitor shows, whatever the scale.
    int32_t Width = 0;
    int32_t Height = 0;
    // How many device pixels the system draws per pixel of its own (1.5 at
    // 150 %).
    double Scale = 1.0;
    bool operator==(const ComputerMonitor&) const = default;
};

// "DP-1<TAB>2560 x 1440 at 1920, 0<TAB>scale 1.5", one line per monitor.
QString MonitorsText(const std::vector<ComputerMonitor>& monitors);

// {"screens": [{"name", "x", "y", "width", "height", "scale"}, ...]}.
QByteArray MonitorsJson(const std::vector<ComputerMonitor>& monitors);

// The monitors of a document MonitorsJson wrote, or why it holds none.
struct MonitorsRead {
    std::vector<ComputerMonitor> Monitors;
    QString Error;  // empty when read
};
MonitorsRead ReadMonitorsJson(const QByteArray& json);
