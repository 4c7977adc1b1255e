#include "core/platform/DisplayAvailable.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayAvailableTest, EachWindowSystemNeedsItsOwnVariableAndOtherPluginsNone)
{
    struct Row {
        QStringList environment;  // NAME=VALUE
        QString platform;         // -platform
        QString display;          // -display
        bool available;
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
    };
    for (const Row& row : rows) {
        QProcessEnvironment environment;
        for (const QString& variable : row.environment)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        EXPECT_EQ(DisplayAvailable(environment, row.platform, row.display), row.available)
            << row.environment.join(' ').toStdString() << " -platform " << row.platform.toStdString();
    }
}

}  // namespace
