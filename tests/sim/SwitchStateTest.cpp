#include "sim/ConfigReply.h"
#include "sim/SwitchState.h"

#include <gtest/gtest.h>

namespace {

std::string withZeros(std::string line, int zeros)
{
    for (int i = 0; i < zeros; ++i)
        line += " 0";
    return line;
}

TEST(ConfigReply, WritesEachKeywordInOrderWithItsNumberForm)
{
    KVM_CONFIG config;
    config.ConfigVer = 26;
    config.Slider = 10;
    config.SwitchPos = -1;
    config.Layout = "L4";
    KVM_LAYOUT layout;
    layout.Group[41] = 2;
    layout.Port[80] = {-10, 1080, 1920, 1200};
    layout.MTotal[3] = {3840, 1080};

    const std::vector<std::string> lines = ConfigReplyLines(config, layout);
    ASSERT_EQ(lines.size(), 192u);
    EXPECT_EQ(lines[0], "ConfigVer 1A");
    EXPECT_EQ(lines[4], "Slider A");
    EXPECT_EQ(lines[5], "SwitchPos FFFFFFFF");
    EXPECT_EQ(lines[6], "Layout L4");
    EXPECT_EQ(lines[9], withZeros("Group3 2", 19));
    EXPECT_EQ(lines[90], "Port 80 -10 1080 1920 1200");
    EXPECT_EQ(lines[94], "MTotal 3 3840 1080");
    EXPECT_EQ(lines[191], "MConfig 80 0 0");

    config.Layout.clear();
    EXPECT_EQ(ConfigReplyLines(config, layout)[6], "Layout");
}

TEST(SwitchState, UnknownAndMalformedCommandsChangeNothing)
{
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    SwitchState sw(config, layout);
    const std::string bad[] = {
        "",
        "start 2",            // commands are upper case
        "START",              // a value missing
        "START 2 3",          // one too many
        "START 2x",
        "START +2",
        "START 99999999999",  // beyond 32 bits
        "START\t2",           // only spaces separate
        "SLIDER 0x85",
        "SLIDER -85",
        "SLIDER 123456789",   // beyond 32 bits
        "GROUP5" + withZeros("", 20),
        withZeros("GROUP1", 19),
        withZeros("GROUP1", 21),
        withZeros("MSTYLE", 19),
        "PORT 0 1 2 3 4",
        "PORT 81 1 2 3 4",
        "PORT 5 1 2 3",
        "MTOTAL 21 1 1",
        "MCONFIG 0 1 1",
        "CONFIG now",
        "SAVE now",
        std::string("START 2\0", 8),
    };
    for (const std::string& command : bad) {
        const CommandResult result = sw.Execute(command);
        EXPECT_TRUE(result.replyLines.empty()) << command;
        EXPECT_FALSE(result.saved) << command;
    }
    ASSERT_TRUE(sw.Execute("SAVE").saved);
    EXPECT_EQ(sw.storedConfig(), config);
    EXPECT_EQ(sw.storedLayout(), layout);
}

}  // namespace
