#include "gui/platform/SystemMonitors.h"

#ifdef TORVIK_WAYLAND
#include "gui/platform/WaylandOutputs.h"
#endif

#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformscreen.h>

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
        // QScreen's size is the platform's divided by Qt's scale factor and
        // rounded (2560 at 150 % reads 1707), which no multiplication undoes
        // exactly; so the platform's own geometry is taken. It is in device
        // pixels, or in pixels of the platform's own that its ratio turns
        // into device pixels (macOS, Qt's offscreen platform).
        const QPlatformScreen& platform = *screen->handle();
        const QRect native = platform.geometry();
        const QSize device = native.size() * platform.devicePixelRatio();
        ComputerMonitor monitor{screen->name(), native.x(),     native.y(),
                                device.width(), device.height(), screen->devicePixelRatio()};
#ifdef TORVIK_WAYLAND
        const QRect geometry = screen->geometry();
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
