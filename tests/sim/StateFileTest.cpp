#include "sim/StateFile.h"

#include "core/config/LayoutFile.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(StateFile, WrittenStateReadsBackAndOpensAsALayoutFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.ini"));
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    config.ConfigVer = 0x1A;
    config.Slider = -1;
    config.SwitchPos = 255;
    config.Layout = "Row4";
    layout.Port[80] = {7680, 1080, 1920, 1200};
    layout.MConfig[80] = {0, 1080};
    ASSERT_TRUE(WriteStateFile(path, config, layout));

    KVM_CONFIG readConfig;
    KVM_LAYOUT readLayout;
    ASSERT_EQ(ReadStateFile(path, readConfig, readLayout), StateFileStatus::Loaded);
    EXPECT_EQ(readConfig, config);
    EXPECT_EQ(readLayout, layout);
    KVM_LAYOUT asLayoutFile;
    ASSERT_EQ(ReadLayoutFile(path, asLayoutFile).status, FileResult::Status::Done);
    EXPECT_EQ(asLayoutFile, layout);

    // Settings the file lacks keep their values; the layout name is one word.
    ASSERT_TRUE(WriteFileBytes(path, "[Switch]\nStart=2\nLayout=two words\n"));
    ASSERT_EQ(ReadStateFile(path, readConfig, readLayout), StateFileStatus::Loaded);
    EXPECT_EQ(readConfig.Start, 2);
    EXPECT_EQ(readConfig.SwitchPos, 255);
    EXPECT_EQ(readConfig.Layout, "two");
}

TEST(StateFile, MissingOrUnreadableFileChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    const KVM_CONFIG configBefore = config;
    const KVM_LAYOUT layoutBefore = layout;

    EXPECT_EQ(ReadStateFile(dir.filePath(QStringLiteral("missing.ini")), config, layout), StateFileStatus::Missing);
    EXPECT_EQ(ReadStateFile(dir.filePath(QStringLiteral("folder")), config, layout), StateFileStatus::Failed);
    EXPECT_EQ(config, configBefore);
    EXPECT_EQ(layout, layoutBefore);
    EXPECT_FALSE(WriteStateFile(dir.filePath(QStringLiteral("folder")), config, layout));
}

}  // namespace
