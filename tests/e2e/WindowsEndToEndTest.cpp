// Save Config and Load Config as a Windows user runs them: the setup window,
// the Windows serial device with its event thread, and torvik-sim on COM1 of
// the Wine prefix.

#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "gui/setup/SetupWindow.h"
#include "support/ConfigRecordsFixture.h"
#include "support/FakePortDiscovery.h"
#include "support/FakePrompts.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"
#include "support/WineSim.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class WindowsEndToEndTest : public testing::Test, protected ConfigRecordsFixture {
protected:
    QTemporaryDir dir;
    FakePrompts prompts;
    QtEventPump pump;
    FakePortDiscovery discovery;
};

TEST_F(WindowsEndToEndTest, SaveConfigSendsEverythingOnCom1AndLoadConfigBringsItBack)
{
    WineSim sim;
    ASSERT_TRUE(sim.ready());
    TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}), config);
    TfrmSetup w(prompts, config, transfers, discovery, dir.filePath(QStringLiteral("TORVIK.INI")));
    ASSERT_EQ(FindWidget<QComboBox>(w, "cmbCOMPort")->currentText(), "COM1");
    FindWidget<QComboBox>(w, "cmbStartPort")->setCurrentIndex(2);
    FindWidget<QSlider>(w, "barSlider")->setValue(10);

    prompts.answer(MsgAnswer::Ok);
    FindWidget<QPushButton>(w, "btnSaveConfig")->click();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes().back().text, "Save Config successed!");
    const std::vector<std::string> expected = SaveConfigCommands(KvmConfig, KvmLayout, true);
    ASSERT_EQ(expected.size(), 191u);
    EXPECT_EQ(expected[0], "START 3");
    EXPECT_EQ(expected[3], "SLIDER 8A");  // speed 10, precision on
    EXPECT_EQ(sim.logged(), expected);

    const KVM_LAYOUT savedLayout = KvmLayout;
    KvmConfig = KVM_CONFIG{};
    KvmLayout = KVM_LAYOUT{};
    EXPECT_EQ(w.LoadConfig(false, false), TransferResult::Done);
    EXPECT_EQ(KvmConfig.Start, 3);
    EXPECT_EQ(KvmConfig.Slider, 0x8A);
    EXPECT_EQ(KvmLayout, savedLayout);
}

}  // namespace
