// Load Config as the user runs it: the setup window, the real serial port
// with its event thread, and torvik-sim at the other end of a
// pseudo-terminal.

#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/serial/ComPort.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "gui/setup/SetupWindow.h"
#include "sim/SimProcess.h"
#include "support/ConfigRecordsFixture.h"
#include "support/FakePortDiscovery.h"
#include "support/FakePrompts.h"
#include "support/FileBytes.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A configuration that differs from the defaults in every setting.
const std::vector<std::string> kUpload = {
    "START 3",
    "GLIDEX 1",
    "HOTKEY 2",
    "SLIDER A",
    "SWITCHPOS FF",
    "GROUP2 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
    "PORT 21 1920 0 1280 1024",
    "MSTYLE 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0",
    "MCONFIG 21 1920 0",
    "SAVE",
};

class LoadConfigEndToEndTest : public testing::Test, protected ConfigRecordsFixture {
protected:
    // Starts the simulator with `options`, holding kUpload as its stored
    // configuration (uploaded to a plain simulator sharing its state file).
    void startSwitch(std::vector<std::string> options = {})
    {
        const std::string state = dir.filePath(QStringLiteral("switch.ini")).toStdString();
        {
            SimProcess plain({"--state", state});
            ASSERT_FALSE(plain.path().empty());
            SwitchLine line(plain.path());
            ASSERT_TRUE(line.isOpen());
            for (const std::string& command : kUpload)
                ASSERT_FALSE(line.exchange(command).empty()) << command;
        }
        options.insert(options.end(), {"--state", state});
        sim = std::make_unique<SimProcess>(options);
        ASSERT_FALSE(sim->path().empty());
    }

    // The setup window with COM1 mapped to `device`.
    TfrmSetup& openWindow(const std::string& device)
    {
        const QString settings = dir.filePath(QStringLiteral("TORVIK.INI"));
        EXPECT_TRUE(WriteFileBytes(settings, "[Ports]\r\nCOM1=" + device + "\r\n"));
        window.reset();
        transfers = std::make_unique<TransferService>(pump, CreatePlatformCommDevice(PortNames{}), config);
        window = std::make_unique<TfrmSetup>(prompts, config, *transfers, discovery, settings);
        return *window;
    }

    QString lastMessage() const { return prompts.boxes().empty() ? QString() : prompts.boxes().back().text; }

    QTemporaryDir dir;
    FakePrompts prompts;
    QtEventPump pump;
    FakePortDiscovery discovery;
    std::unique_ptr<TransferService> transfers;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TfrmSetup> window;
};

TEST_F(LoadConfigEndToEndTest, LoadConfigShowsTheSwitchsSettingsAndLayout)
{
    startSwitch();
    TfrmSetup& w = openWindow(sim->path());
    QSignalSpy rebuilt(&w, &TfrmSetup::layoutUpdated);
    // The window and the editor show the loaded values by the time the box appears.
    prompts.onBox = [&](const FakePrompts::Box&) {
        EXPECT_EQ(FindWidget<QComboBox>(w, "cmbStartPort")->currentText(), "3");
        EXPECT_EQ(FindWidget<QComboBox>(w, "cmbHotKey")->currentText(), "Shift Shift");
        EXPECT_EQ(FindWidget<QSlider>(w, "barSlider")->value(), 10);
        EXPECT_FALSE(FindWidget<QCheckBox>(w, "chkPrecision")->isChecked());
        EXPECT_EQ(FindWidget<QComboBox>(w, "cmbSwitchPos")->currentText(), "Last position");
        EXPECT_FALSE(FindWidget<QCheckBox>(w, "chkKVM")->isChecked());
        EXPECT_EQ(rebuilt.count(), 1);
    };
    QPushButton* btnLoadConfig = FindWidget<QPushButton>(w, "btnLoadConfig");
    prompts.answer(MsgAnswer::Ok);
    btnLoadConfig->click();

    EXPECT_EQ(lastMessage(), "Load Config finished!");
    EXPECT_EQ(prompts.boxes().back().caption, "Info");
    EXPECT_EQ(KvmConfig.Start, 3);
    EXPECT_EQ(KvmConfig.Glidex, 1);
    EXPECT_EQ(KvmConfig.HotKey, 2);
    EXPECT_EQ(KvmConfig.Slider, 10);
    EXPECT_EQ(KvmConfig.SwitchPos, 255);
    EXPECT_EQ(KvmLayout.Group[1], 1);  // the default screens stay
    EXPECT_EQ(KvmLayout.Group[21], 1);
    EXPECT_EQ(KvmLayout.Port[21], (PortRect{1920, 0, 1280, 1024}));
    EXPECT_EQ(KvmLayout.MStyle[1], 1);
    EXPECT_EQ(KvmLayout.MConfig[21], (DeskOffset{1920, 0}));

    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_FALSE(transfers->portTarget().Connected());
    EXPECT_TRUE(btnLoadConfig->isEnabled());
}

TEST_F(LoadConfigEndToEndTest, ALayoutOnlyDownloadChangesNoSetting)
{
    startSwitch();
    TfrmSetup& w = openWindow(sim->path());
    const KVM_CONFIG before = KvmConfig;
    EXPECT_EQ(w.LoadConfig(/*layoutOnly=*/true, /*showFinished=*/false), TransferResult::Done);
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_EQ(KvmConfig, before);
    EXPECT_EQ(KvmLayout.Port[21], (PortRect{1920, 0, 1280, 1024}));
}

TEST_F(LoadConfigEndToEndTest, ASilentSwitchOrAMissingDeviceChangesNothing)
{
    startSwitch({"--silent-after", "0"});
    TfrmSetup& w = openWindow(sim->path());
    const KVM_CONFIG before = KvmConfig;
    prompts.answer(MsgAnswer::Ok);
    EXPECT_EQ(w.LoadConfig(false, true), TransferResult::NoReply);
    EXPECT_EQ(lastMessage(), "Load Config error!");
    EXPECT_EQ(KvmConfig, before);

    TfrmSetup& noDevice = openWindow(dir.filePath(QStringLiteral("no-such-tty")).toStdString());
    prompts.answer(MsgAnswer::Ok);
    EXPECT_EQ(noDevice.LoadConfig(false, true), TransferResult::PortError);
    EXPECT_EQ(lastMessage(), "COM port open error!");
    EXPECT_EQ(prompts.boxes().back().caption, "Error");
}

TEST_F(LoadConfigEndToEndTest, ClosingTheWindowDuringADownloadWaitsForItsEnd)
{
    startSwitch({"--silent-after", "0"});
    TfrmSetup& w = openWindow(sim->path());
    w.show();
    bool buttonsDisabled = false;
    bool stillOpen = false;
    // While the download waits for the silent switch, the user tries again
    // and then closes the window.
    QTimer::singleShot(50, &w, [&] {
        buttonsDisabled = !FindWidget<QPushButton>(w, "btnLoadConfig")->isEnabled() &&
                          !FindWidget<QPushButton>(w, "btnSaveConfig")->isEnabled() &&
                          !FindWidget<QPushButton>(w, "btnDefault")->isEnabled() &&
                          !FindWidget<QPushButton>(w, "btnGlidex")->isEnabled();
        EXPECT_EQ(w.LoadConfig(false, true), std::nullopt);  // refused: no transfer starts inside another
        w.close();
        stillOpen = w.isVisible();
    });
    prompts.answer(MsgAnswer::Ok);
    EXPECT_EQ(w.LoadConfig(false, true), TransferResult::NoReply);
    EXPECT_TRUE(buttonsDisabled);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompts.boxes().size(), 1u);  // only the download's own error
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(transfers->portTarget().Connected());
}

TEST_F(LoadConfigEndToEndTest, ASlowOrChattySwitchStillLoads)
{
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--delay-ms", "900"}, {"--echo"}, {"--noise", "--seed", "7"}}) {
        KvmConfig = RxConfig = KVM_CONFIG{};
        startSwitch(options);
        TfrmSetup& w = openWindow(sim->path());
        prompts.answer(MsgAnswer::Ok);
        EXPECT_EQ(w.LoadConfig(false, true), TransferResult::Done) << options[0];
        EXPECT_EQ(lastMessage(), "Load Config finished!") << options[0];
        EXPECT_EQ(KvmConfig.Start, 3) << options[0];
        EXPECT_EQ(KvmLayout.Port[21], (PortRect{1920, 0, 1280, 1024})) << options[0];
    }
}

TEST_F(LoadConfigEndToEndTest, AReplyItCannotReadOrALatePromptLoadsNothing)
{
    // Lines ended by line feeds alone are dropped: the prompt comes with no
    // line understood. Then a switch slower than the wait: its prompt
    // arrives after the first download gave up, in time for the second.
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--lf-only"}, {"--delay-ms", "1500"}}) {
        startSwitch(options);
        TfrmSetup& w = openWindow(sim->path());
        KvmConfig.Start = 4;
        KvmLayout.Group[9] = 1;
        const KVM_CONFIG before = KvmConfig;
        const KVM_LAYOUT layoutBefore = KvmLayout;
        for (int attempt = 1; attempt <= (options[0] == "--lf-only" ? 1 : 2); ++attempt) {
            prompts.answer(MsgAnswer::Ok);
            EXPECT_NE(w.LoadConfig(false, true), TransferResult::Done) << options[0] << attempt;
            EXPECT_EQ(lastMessage(), "Load Config error!") << options[0] << attempt;
            EXPECT_EQ(KvmConfig, before);
            EXPECT_EQ(KvmLayout, layoutBefore);
        }
    }
}

}  // namespace
