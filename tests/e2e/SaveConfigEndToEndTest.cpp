// Save Config and Send Layout as the user runs them: the setup window with
// its layout editor, the real serial port, and torvik-sim, whose command
// log shows exactly what reached the switch.

#include "core/config/LayoutFile.h"
#include "core/link/UploadCommands.h"
#include "e2e/ProgramFixture.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

#include <algorithm>


namespace {

class SaveConfigEndToEndTest : public ProgramFixture {
protected:
    void startSwitch(std::vector<std::string> options = {})
    {
        options.insert(options.end(), {"--log", log, "--state", dir.filePath(QStringLiteral("switch.ini")).toStdString()});
        sim = std::make_unique<SimProcess>(options);
        ASSERT_FALSE(sim->path().empty());
    }

    std::vector<QString> shown() const
    {
        std::vector<QString> texts;
        for (const FakePrompts::Box& box : prompts.boxes())
            texts.push_back(box.caption + ": " + box.text);
        return texts;
    }
};

TEST_F(SaveConfigEndToEndTest, SaveConfigSendsEverythingAndALoadBringsItBack)
{
    KVM_CONFIG unused;
    ResetToDefaults(unused, KvmLayout);
    KvmLayout.Group[25] = 1;
    KvmLayout.Port[25] = {0, 1080, 1280, 1024};
    ASSERT_EQ(WriteLayoutFile(settings, KvmLayout, true).status, FileResult::Status::Done);
    startSwitch();
    TfrmSetup& w = openWindows(sim->path());
    FindWidget<QComboBox>(w, "cmbStartPort")->setCurrentIndex(2);
    FindWidget<QComboBox>(w, "cmbHotKey")->setCurrentIndex(1);
    FindWidget<QSlider>(w, "barSlider")->setValue(10);
    FindWidget<QCheckBox>(w, "chkPrecision")->setChecked(false);
    FindWidget<QComboBox>(w, "cmbSwitchPos")->setCurrentIndex(0);
    FindWidget<QCheckBox>(w, "chkKVM")->setChecked(false);

    prompts.answer(MsgAnswer::Ok);
    FindWidget<QPushButton>(w, "btnSaveConfig")->click();
    EXPECT_EQ(shown(), std::vector<QString>{"Info: Save Config successed!"});

    std::vector<std::string> expected = SettingsCommands(KvmConfig);
    const std::vector<std::string> layout = LayoutCommands(KvmLayout);
    expected.insert(expected.end(), layout.begin(), layout.end());
    expected.push_back("SAVE");
    ASSERT_EQ(expected.size(), 191u);
    EXPECT_EQ(expected[0], "START 3");
    EXPECT_EQ(expected[3], "SLIDER A");
    EXPECT_EQ(expected[4], "SWITCHPOS FF");
    EXPECT_EQ(logged(), expected);
    EXPECT_EQ(ReadSetupSection(settings), (SetupSettings{1, 3, 1, 1, 10, 255}));

    // What the switch stored comes back whole.
    const KVM_CONFIG savedConfig = KvmConfig;
    const KVM_LAYOUT savedLayout = KvmLayout;
    KvmConfig = KVM_CONFIG{};
    KvmLayout = KVM_LAYOUT{};
    EXPECT_EQ(w.LoadConfig(false, false), TransferResult::Done);
    EXPECT_EQ(KvmLayout, savedLayout);
    EXPECT_EQ(KvmConfig.Start, savedConfig.Start);
    EXPECT_EQ(KvmConfig.Slider, savedConfig.Slider);
    EXPECT_EQ(KvmConfig.SwitchPos, savedConfig.SwitchPos);
}

TEST_F(SaveConfigEndToEndTest, AnInvalidLayoutIsNeitherSavedNorSent)
{
    KvmLayout.Group[1] = KvmLayout.Group[2] = 1;
    KvmLayout.Port[1] = {0, 0, 1920, 1080};
    KvmLayout.Port[2] = {1919, 0, 1920, 1080};  // one pixel of overlap
    ASSERT_EQ(WriteLayoutFile(settings, KvmLayout, true).status, FileResult::Status::Done);
    startSwitch();
    TfrmSetup& w = openWindows(sim->path());
    const auto layoutSection = [this] {
        const std::string text = ReadFileBytes(settings);
        const std::size_t start = text.find("[Layout]");
        return text.substr(start, text.find('[', start + 1) - start);
    };
    const std::string layoutBefore = layoutSection();

    prompts.answer(MsgAnswer::Ok);
    prompts.answer(MsgAnswer::Ok);
    w.SaveConfig();
    EXPECT_EQ(shown(), (std::vector<QString>{"Warning: Glidex Layout is invalid! Skip to save Glidex Layout.",
                                             "Info: Save Config successed!"}));
    EXPECT_EQ(logged(), (std::vector<std::string>{"START 1", "GLIDEX 0", "HOTKEY 0", "SLIDER 85", "SWITCHPOS 0", "SAVE"}));
    EXPECT_EQ(layoutSection(), layoutBefore);
    EXPECT_EQ(ReadSetupSection(settings), SetupSettings{});  // the settings were saved
}

TEST_F(SaveConfigEndToEndTest, ASilentSwitchOrAMissingDeviceIsReported)
{
    startSwitch({"--silent-after", "0"});
    TfrmSetup& w = openWindows(sim->path());
    prompts.answer(MsgAnswer::Ok);
    w.SaveConfig();
    EXPECT_EQ(shown(), std::vector<QString>{"Error: COM port error! Please try again."});
    EXPECT_EQ(logged(), std::vector<std::string>{"START 1"});
    EXPECT_TRUE(transfers->link().LinkFailed());

    TfrmSetup& noDevice = openWindows(dir.filePath(QStringLiteral("no-such-tty")).toStdString());
    FindWidget<QComboBox>(noDevice, "cmbStartPort")->setCurrentIndex(3);
    prompts.answer(MsgAnswer::Ok);
    noDevice.SaveConfig();
    EXPECT_EQ(shown().back(), QStringLiteral("Error: COM port open error!"));
    EXPECT_EQ(ReadSetupSection(settings).Start, 4);  // the file is written before the port opens
}

TEST_F(SaveConfigEndToEndTest, TheChosenComNameStaysWithItsAdapterWhenAnotherIsPluggedIn)
{
    // An installed copy's first save: its per-user folder
    // ($XDG_CONFIG_HOME/torvik-setup) does not exist yet, nor the one above.
    settings = dir.filePath(QStringLiteral("config/torvik-setup/TORVIK.INI"));
    startSwitch();
    const QString link = dir.filePath(QStringLiteral("usb-Torvik_Adapter_T1-if00-port0"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(sim->path()), link));
    discovery.devices = {{sim->path(), "USB UART", {}, {}, {}, {}, link.toStdString()}};
    TfrmSetup& first = makeWindows();
    prompts.answer(MsgAnswer::Ok);
    FindWidget<QPushButton>(first, "btnSaveConfig")->click();
    EXPECT_EQ(ProfileFile(settings).value("Ports", "COM1"), link.toStdString());

    // An onboard port now comes before the adapter in the assignment: COM1
    // still leads to the adapter, and the new port gets COM2.
    const QString onboard = dir.filePath(QStringLiteral("ttyS0"));
    discovery.devices.insert(discovery.devices.begin(), SerialDevice{onboard.toStdString(), {}, {}, {}, {}, {}, {}});
    TfrmSetup& second = makeWindows();
    EXPECT_EQ(FindWidget<QComboBox>(second, "cmbCOMPort")->itemText(1), QStringLiteral("COM2  ") + onboard);
    prompts.answer(MsgAnswer::Ok);
    FindWidget<QPushButton>(second, "btnSaveConfig")->click();
    EXPECT_EQ(shown(), (std::vector<QString>{"Info: Save Config successed!", "Info: Save Config successed!"}));
    const std::vector<std::string> lines = logged();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "SAVE"), 2);
}

TEST_F(SaveConfigEndToEndTest, SendLayoutSendsTheLayoutAloneAndSaysNothingOnSuccess)
{
    startSwitch();
    openWindows(sim->path());
    KvmLayout.Group[3] = 1;
    KvmLayout.Port[3] = {0, 0, 800, 600};
    editor->SendLayout();
    EXPECT_TRUE(prompts.boxes().empty());
    EXPECT_FALSE(transfers->link().LinkFailed());
    const std::vector<std::string> lines = logged();
    ASSERT_EQ(lines.size(), 186u);
    EXPECT_EQ(lines[0], "GROUP1 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines.back(), "SAVE");
    KVM_LAYOUT filed;
    ASSERT_EQ(ReadLayoutFile(settings, filed).status, FileResult::Status::Done);
    EXPECT_EQ(filed.Port[3], (PortRect{0, 0, 800, 600}));
}

TEST_F(SaveConfigEndToEndTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheSwitchStillGetsEverything)
{
    startSwitch();
    // A folder where the settings file should be, which no one can write,
    // root included; COM1 leads to the simulator all the same.
    ASSERT_TRUE(QDir().mkdir(settings));
    SerialDevice simulator;  // found present, so it becomes COM1
    simulator.path = sim->path();
    discovery.devices = {simulator};
    makeWindows();
    const QString warning = "Warning: " + QDir::toNativeSeparators(settings) + " could not be saved: not a regular file";

    prompts.answer(MsgAnswer::Ok);
    prompts.answer(MsgAnswer::Ok);
    setup->SaveConfig();
    EXPECT_EQ(shown(), (std::vector<QString>{warning, "Info: Save Config successed!"}));
    EXPECT_EQ(logged().size(), 191u);

    prompts.answer(MsgAnswer::Ok);
    prompts.answer(MsgAnswer::Ok);
    FindWidget<QAction>(*editor, QStringLiteral("mnuSaveLayout"))->trigger();
    EXPECT_EQ(shown(), (std::vector<QString>{warning, "Info: Save Config successed!", warning,
                                             "Info: Send Layout to Torvik successed!"}));
    EXPECT_EQ(logged().size(), 191u + 186u);
}

}  // namespace

TEST_F(SaveConfigEndToEndTest, TheCommandLineSendsWhatSaveConfigAndSendLayoutSend)
{
    // Values the window's controls cannot hold as they are, a layout away
    // from the origin, a monitor beyond its port's style, and a monitor off
    // the canvas with a size of its own.
    ASSERT_TRUE(WriteFileBytes(settings, "[Setup]\nStart=2\nGlidex=5\nHotKey=3\nMouseSlider=389\nSwitchPosition=7\n"
                                         "[Layout]\nGroup=1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1\nMStyle=1\n"
                                         "Port1=300 200 1920 1080\nPort2=2220 200 1280 1024\nPort3=0 0 1280 1024\n"
                                         "Port21=2220 1224 1024 768\n"));
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    ASSERT_TRUE(QFile::copy(settings, copy));
    startSwitch();
    TfrmSetup& w = openWindows(sim->path());
    prompts.answer(MsgAnswer::Ok);
    w.SaveConfig();
    prompts.answer(MsgAnswer::Ok);
    FindWidget<QAction>(*editor, QStringLiteral("mnuSaveLayout"))->trigger();
    const std::vector<std::string> fromWindows = logged();
    ASSERT_EQ(fromWindows.size(), 191u + 186u);

    sim.reset();
    QFile::remove(QString::fromStdString(log));
    startSwitch();
    for (const char* layoutOnly : {"", "--layout-only"}) {
        std::vector<std::string> argv{TORVIK_SETUP, "--port", sim->path(), "--write", copy.toStdString(), "--quiet"};
        if (*layoutOnly)
            argv.push_back(layoutOnly);
        EXPECT_EQ(RunProgram(argv), 0);
    }
    EXPECT_EQ(logged(), fromWindows);
}
