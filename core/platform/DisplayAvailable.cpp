#include "core/platform/DisplayAvailable.h"

bool DisplayAvailable(const QProcessEnvironment& environment, const QString& platform, const QString& display,
                      const DisplayProbe& probe)
{
    const QString x11Name = display.isEmpty() ? environment.value(QStringLiteral("DISPLAY")) : display;
    const QString waylandName = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    const auto x11 = [&] { return !x11Name.isEmpty() && probe(DisplayServer::X11, x11Name); };
    const auto wayland = [&] { return !waylandName.isEmpty() && probe(DisplayServer::Wayland, waylandName); };
    const QString chosen = platform.isEmpty() ? environment.value(QStringLiteral("QT_QPA_PLATFORM")) : platform;
    if (chosen.trimmed().isEmpty())
        return x11() || wayland();
    // Each entry is a plugin's name, its options after ':' ("xcb:nograb").
    for (const QString& entry : chosen.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        const bool starts = name == QLatin1String("xcb")                 ? x11()
                            : name.startsWith(QLatin1String("wayland")) ? wayland()
                                                                        : true;
        if (starts)
            return true;
    }
    return false;
}
