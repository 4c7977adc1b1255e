#include "core/platform/DisplayAvailable.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayAvailableTest, EachWindowSystemNeedsItsOwnDisplayAnsweringAndOtherPluginsNone)
{
    struct Row {
        QStringList environment;  // NAME=VALUE
        QString platform;         // -platform
        QString display;          // -display
        bool available;
        // The displays that answer: X displays by their ':'.
        QStringList answering = {":0", ":1", "wayland-0"};
    };
    const Row rows[] = {
        {{}, {}, {}, false},
        {{"DISPLAY="}, {}, {}, false},
        {{"DISPLAY=:0"}, {}, {}, true},
        {{"WAYLAND_DISPLAY=wayland-0"}, {}, {}, true},
        {{}, {}, ":1", true},
        {{"QT_QPA_PLATFORM=offscreen"}, {}, {}, true},
        {{}, "vnc", {}, true},
        {{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0"}, {}, {}, false},
        {{"QT_QPA_PLATFORM=offscreen", "DISPLAY=:0"}, "wayland", {}, false},
        {{"QT_QPA_PLATFORM=wayland;xcb:nograb", "DISPLAY=:0"}, {}, {}, true},
        // Named but gone: a stale SSH display, a compositor that has quit.
        {{"DISPLAY=localhost:10.0"}, {}, {}, false},
        {{"DISPLAY=:77", "WAYLAND_DISPLAY=wayland-0"}, {}, {}, true},
        {{"DISPLAY=:0"}, {}, ":77", false},
        {{"QT_QPA_PLATFORM=wayland;xcb", "WAYLAND_DISPLAY=wayland-1", "DISPLAY=:7"}, {}, {}, false},
        {{"QT_QPA_PLATFORM=wayland;xcb", "WAYLAND_DISPLAY=wayland-1", "DISPLAY=:7"}, {}, {}, true, {":7"}},
    };
    for (const Row& row : rows) {
        QProcessEnvironment environment;
        for (const QString& variable : row.environment)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        const DisplayProbe probe = [&row](DisplayServer server, const QString& name) {
            return row.answering.contains(name) && name.startsWith(':') == (server == DisplayServer::X11);
        };
        EXPECT_EQ(DisplayAvailable(environment, row.platform, row.display, probe), row.available)
            << row.environment.join(' ').toStdString() << " -platform " << row.platform.toStdString();
    }
}

}  // namespace
