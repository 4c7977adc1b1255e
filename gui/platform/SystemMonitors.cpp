#include "gui/platform/SystemMonitors.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

std::vector<ComputerMonitor> SystemMonitors()
{
    std::vector<ComputerMonitor> monitors;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        const double scale = screen->devicePixelRatio();
        monitors.push_back({screen->name(), geometry.x(), geometry.y(),
                            static_cast<int32_t>(std::lround(geometry.width() * scale)),
                            static_cast<int32_t>(std::lround(geometry.height() * scale)), scale});
    }
    return monitors;
}
