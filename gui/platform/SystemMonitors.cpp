#include "gui/platform/SystemMonitors.h"

#ifdef TORVIK_WAYLAND
#include "gui/platform/WaylandOutputs.h"
#endif

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

// A scale as people write it: 1.5, 1.25, 1.333.
double roundedScale(double scale)
{
    return std::round(scale * 1000.0) / 1000.0;
}

}  // namespace

std::vector<ComputerMonitor> SystemMonitors()
{
#ifdef TORVIK_WAYLAND
    // On Wayland the monitor's own mode gives its size; the scale is how
    // much larger that is than the compositor's scaled size.
    const std::vector<WaylandOutput> outputs =
        QGuiApplication::platformName() == QLatin1String("wayland") ? WaylandOutputs() : std::vector<WaylandOutput>{};
#endif
    std::vector<ComputerMonitor> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        ComputerMonitor monitor{screen->name(), geometry.x(), geometry.y(),
                                static_cast<int32_t>(std::lround(geometry.width() * screen->devicePixelRatio())),
                                static_cast<int32_t>(std::lround(geometry.height() * screen->devicePixelRatio())),
                                screen->devicePixelRatio()};
#ifdef TORVIK_WAYLAND
        const auto output = std::find_if(outputs.begin(), outputs.end(),
                                         [&](const WaylandOutput& o) { return o.Name == monitor.Name; });
        if (output != outputs.end() && geometry.width() > 0) {
            monitor.Width = output->Width;
            monitor.Height = output->Height;
            monitor.Scale = static_cast<double>(output->Width) / geometry.width();
        }
#endif
        monitor.Scale = roundedScale(monitor.Scale);
        monitors.push_back(monitor);
    }
    return monitors;
}
