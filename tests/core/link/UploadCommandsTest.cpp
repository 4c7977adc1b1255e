#include "core/link/UploadCommands.h"

#include "core/config/KvmConfig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(UploadCommands, SettingsAndLayoutLinesAreFormattedAsTheSwitchReadsThem)
{
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    EXPECT_EQ(SettingsCommands(config),
              (std::vector<std::string>{"START 1", "GLIDEX 0", "HOTKEY 0", "SLIDER 85", "SWITCHPOS 0"}));
    config.Slider = 10;  // speed 10, no precision
    config.SwitchPos = 255;
    config.Start = -1;
    EXPECT_EQ(SettingsCommands(config)[3], "SLIDER A");
    EXPECT_EQ(SettingsCommands(config)[4], "SWITCHPOS FF");
    EXPECT_EQ(SettingsCommands(config)[0], "START -1");

    layout.Port[80] = {-10, 5, 0, 0};  // no monitor, still sent
    layout.MStyle[20] = 7;
    layout.MTotal[2] = {3840, 1080};
    layout.MConfig[22] = {1920, 0};
    const std::vector<std::string> lines = LayoutCommands(layout);
    ASSERT_EQ(lines.size(), 185u);
    EXPECT_EQ(lines[0], "GROUP1 1 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[3], "GROUP4 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[4], "PORT 1 0 0 1920 1080");
    EXPECT_EQ(lines[5], "PORT 2 1920 0 1920 1080");
    EXPECT_EQ(lines[83], "PORT 80 -10 5 0 0");
    EXPECT_EQ(lines[84], "MSTYLE 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 7");
    EXPECT_EQ(lines[86], "MTOTAL 2 3840 1080");
    EXPECT_EQ(lines[104], "MTOTAL 20 0 0");
    EXPECT_EQ(lines[126], "MCONFIG 22 1920 0");
    EXPECT_EQ(lines[184], "MCONFIG 80 0 0");
}

// The same text on every system, whatever its C run-time library does with
// numbers (Windows' formats hex and 64-bit values its own way).
TEST(UploadCommands, NumbersAreWrittenAlikeOnEverySystem)
{
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    config.Start = -2;
    config.Slider = 0x8A;
    config.SwitchPos = -1;
    layout.Port[80] = {-1920, 1080, 1920, 1200};
    layout.MConfig[1] = {INT32_MIN, INT32_MAX};

    const std::vector<std::string> lines = SaveConfigCommands(config, layout, true);
    ASSERT_EQ(lines.size(), 191u);
    EXPECT_EQ(lines[0], "START -2");
    EXPECT_EQ(lines[3], "SLIDER 8A");
    EXPECT_EQ(lines[4], "SWITCHPOS FFFFFFFF");
    EXPECT_EQ(lines[4 + 1 + 4 + 79], "PORT 80 -1920 1080 1920 1200");
    EXPECT_EQ(lines[4 + 1 + 4 + 80 + 1 + 20], "MCONFIG 1 -2147483648 2147483647");
    EXPECT_EQ(lines.back(), "SAVE");
}

}  // namespace
