#include "core/config/KvmConfig.h"

#include <gtest/gtest.h>

namespace {

KVM_LAYOUT filledLayout(int32_t value)
{
    KVM_LAYOUT layout;
    for (int n = 1; n <= kScreenCount; ++n) {
        layout.Group[n] = value;
        layout.Port[n] = {value, value, value, value};
        layout.MConfig[n] = {value, value};
    }
    for (int p = 1; p <= kPortCount; ++p) {
        layout.MStyle[p] = value;
        layout.MTotal[p] = {value, value};
    }
    return layout;
}

TEST(KvmConfig, ResetToDefaultsClearsEverythingAndAppliesTheFactoryTable)
{
    KVM_CONFIG config{7, 3, 1, 2, 10, 255, "Word"};
    KVM_LAYOUT layout = filledLayout(9);
    ResetToDefaults(config, layout);

    EXPECT_EQ(config, (KVM_CONFIG{0, 1, 0, 0, 133, 0, ""}));
    for (int n = 1; n <= kScreenCount; ++n) {
        EXPECT_EQ(layout.Group[n], n <= 4 ? 1 : 0) << n;
        EXPECT_EQ(layout.MConfig[n], DeskOffset{}) << n;
        if (n > 4) {
            EXPECT_EQ(layout.Port[n], PortRect{}) << n;
        }
    }
    EXPECT_EQ(layout.Port[1], (PortRect{0, 0, 1920, 1080}));
    EXPECT_EQ(layout.Port[2], (PortRect{1920, 0, 1920, 1080}));
    EXPECT_EQ(layout.Port[3], (PortRect{3840, 0, 1920, 1080}));
    EXPECT_EQ(layout.Port[4], (PortRect{5760, 0, 1920, 1080}));
    for (int p = 1; p <= kPortCount; ++p) {
        EXPECT_EQ(layout.MStyle[p], 0);
        EXPECT_EQ(layout.MTotal[p], DeskSize{});
    }
}

TEST(KvmConfig, CommitCopiesTheReceivedPairOrOnlyTheLayout)
{
    ConfigRecords records;
    records.RxConfig = KVM_CONFIG{0x1A, 2, 1, 3, 5, 255, "Glide"};
    records.RxLayout = filledLayout(4);

    CommitDownload(records, /*layoutOnly=*/true);
    EXPECT_EQ(records.KvmConfig, KVM_CONFIG{});
    EXPECT_EQ(records.KvmLayout, records.RxLayout);

    records.KvmLayout = KVM_LAYOUT{};
    CommitDownload(records, /*layoutOnly=*/false);
    EXPECT_EQ(records.KvmConfig, records.RxConfig);
    EXPECT_EQ(records.KvmLayout, records.RxLayout);

    // The received records stay as they were: a later download starts from them.
    EXPECT_EQ(records.RxConfig.Layout, "Glide");
}

TEST(KvmConfig, SettingsFromTheFileAreBroughtIntoRange)
{
    struct Case {
        KVM_CONFIG read;
        KVM_CONFIG expected;
    };
    const Case cases[] = {
        {{0, 7, 0, 4, 11, 1, ""}, {0, 1, 0, 0, 133, 0, ""}},        // speed 11
        {{0, 0, 7, -1, 139, 256, ""}, {0, 1, 7, 0, 133, 0, ""}},    // Glidex is not validated
        {{0, 4, 1, 3, 138, 255, ""}, {0, 4, 1, 3, 138, 255, ""}},   // all valid
        {{0, 1, 0, 0, 10, -1, ""}, {0, 1, 0, 0, 10, 0, ""}},
        {{0, 1, 0, 0, -1, 0, ""}, {0, 1, 0, 0, 133, 0, ""}},
        {{0, 1, 0, 0, 0x70 | 5, 0, ""}, {0, 1, 0, 0, 133, 0, ""}},  // bits 4..6 set
        {{0, 1, 0, 0, 256 + 5, 0, ""}, {0, 1, 0, 0, 256 + 5, 0, ""}},  // only the low seven bits count
    };
    for (const Case& c : cases) {
        KVM_CONFIG config = c.read;
        NormalizeFileSettings(config);
        EXPECT_EQ(config.Start, c.expected.Start) << c.read.Start;
        EXPECT_EQ(config.Glidex, c.expected.Glidex);
        EXPECT_EQ(config.HotKey, c.expected.HotKey) << c.read.HotKey;
        EXPECT_EQ(config.SwitchPos, c.expected.SwitchPos) << c.read.SwitchPos;
        EXPECT_EQ(config.Slider, c.expected.Slider) << c.read.Slider;
    }
}

TEST(KvmConfig, SwitchPositionMapsToItsListItem)
{
    EXPECT_EQ(SwitchPosToItem(255), 0);
    EXPECT_EQ(SwitchPosToItem(0), 1);
    EXPECT_EQ(NormalizedSwitchPos(255), 255);
    EXPECT_EQ(NormalizedSwitchPos(1), 0);
    EXPECT_EQ(NormalizedSwitchPos(-1), 0);
}

}  // namespace
