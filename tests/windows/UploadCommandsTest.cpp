// The upload's command lines as the Windows build writes them: the same text
// as on Linux, whatever the C run-time library's number formatting.

#include "core/config/KvmConfig.h"
#include "core/link/UploadCommands.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(UploadCommandsOnWindows, NumbersAreWrittenAsOnEveryOtherSystem)
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
