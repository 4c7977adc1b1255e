#include "core/link/DeviceLink.h"

#include "core/config/KvmConfig.h"
#include "core/config/ProtocolTable.h"
#include "core/link/ReplyLines.h"
#include "core/link/TransferMessages.h"
#include "core/serial/ComPort.h"
#include "support/ConfigRecordsFixture.h"
#include "support/FakeCommDevice.h"
#include "support/ScriptedPump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The lines a whole reply cannot do without while no monitor is placed
// (of the layout alone, the last five); a test's own lines follow them.
const std::string kWhole =
    "Start 1\rGlidex 0\rHotKey 0\rSlider 85\rSwitchPos 0\rGroup1\rGroup2\rGroup3\rGroup4\rMStyle\r";
const std::string kWholeLayout = "Group1\rGroup2\rGroup3\rGroup4\rMStyle\r";

// The device link with a fake device and no event thread: the test delivers
// received bytes by calling the receive handler, and ticks the work timer
// from the pump's passes.
class DeviceLinkTest : public testing::Test, protected ConfigRecordsFixture {
protected:
    DeviceLinkTest()
    {
        auto owned = std::make_unique<FakeCommDevice>();
        device = owned.get();
        port = std::make_unique<TComPort>(std::move(owned));
        port->setEvents(0);
        link = std::make_unique<DeviceLink>(
            *port, config, DeviceLink::Timer{[this] { timerRunning = true; }, [this] { timerRunning = false; }}, pump,
            [this](bool layoutOnly) { posted.push_back(layoutOnly); });
    }

    // Bytes from the switch, handed to the receive handler.
    void receive(const std::string& bytes)
    {
        device->receive(bytes);
        link->ReceiveBytes();
    }

    // A download in progress (the port open, the receiver armed).
    void startDownload(bool layoutOnly = false)
    {
        port->OpenPort();
        link->BeginDownload(layoutOnly);
    }

    // Each pump pass ticks the work timer while it runs; `replyAtTick`
    // delivers `reply` at that tick.
    void switchAnswers(const std::string& reply, int replyAtTick)
    {
        pump.onPass = [this, reply, replyAtTick] {
            if (!timerRunning)
                return;
            ++ticks;
            if (ticks == replyAtTick)
                receive(reply);
            link->WorkTimerTimer();
        };
    }

    FakeCommDevice* device = nullptr;
    std::unique_ptr<TComPort> port;
    ScriptedPump pump;
    std::unique_ptr<DeviceLink> link;
    bool timerRunning = false;
    int ticks = 0;
    std::vector<bool> posted;
};

TEST_F(DeviceLinkTest, LinesEndAtCarriageReturnAndALineFeedDropsWhatCameBefore)
{
    startDownload();
    receive("Start 2\r\nHotKey 3\nGlidex 1\r");
    EXPECT_EQ(RxConfig.Start, 2);
    EXPECT_EQ(RxConfig.HotKey, 0);  // ended by a line feed alone: dropped
    EXPECT_EQ(RxConfig.Glidex, 1);
    EXPECT_EQ(link->LineLength(), 0);

    // A line arriving in pieces, and one that is too long.
    receive("Slid");
    receive("er 85\r" + std::string("Layout ") + std::string(2000, 'W') + "\r");
    EXPECT_EQ(RxConfig.Slider, 133);
    EXPECT_EQ(RxConfig.Layout, std::string(1023 - 7, 'W'));
}

TEST_F(DeviceLinkTest, APromptCommitsTheDownloadAsSoonAsItsHashArrives)
{
    startDownload();
    receive(kWhole + "Start 3\r\nGroup1 1 1\r\nPort 1 0 0 1920 1080\r\nPort 2 1920 0 1280 1024\r\n");
    EXPECT_EQ(KvmConfig.Start, 0);
    receive("#");
    EXPECT_TRUE(link->AckReceived());
    EXPECT_FALSE(link->DownloadActive());
    EXPECT_EQ(KvmConfig.Start, 3);
    EXPECT_EQ(KvmLayout.Group[2], 1);
    EXPECT_EQ(posted, std::vector<bool>{false});
    receive(" \r\n# \r\n");  // the rest of the prompt, and another: nothing more to commit
    EXPECT_EQ(posted.size(), 1u);
}

TEST_F(DeviceLinkTest, AHashInsideALineIsNoPrompt)
{
    startDownload();
    receive("Layout A#B\r x#\r");
    EXPECT_FALSE(link->AckReceived());
    EXPECT_TRUE(link->DownloadActive());
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(RxConfig.Layout, "A#B");
}

TEST_F(DeviceLinkTest, ReplyValuesAreStoredByKeywordWithTheirNumberForms)
{
    RxLayout.MConfig[7] = {5, 6};  // from an earlier download: kept, as nothing reports it
    startDownload();
    receive(kWhole + "ConfigVer 1A\rSlider 85\rSwitchPos FF\rStart 2\rHotKey 2\rLayout Word extra\r"
            "Group2 1 1\rPort 21 0 0 1 1\rPort 22 1 0 1 1\rPort 5 100 0 1920 1080\rPort 0 1 1 1 1\rPort 81 1 1 1 1\r"
            "MTotal 21 9 9\rMTotal 20 3840 1080\rMConfig 80 0 1080\rMStyle 1 2 3\r"
            "start 4\rPORT 6 1 1 1 1\rUnknown 1\r\r   \r#");
    EXPECT_EQ(KvmConfig, (KVM_CONFIG{26, 2, 0, 2, 133, 255, "Word"}));
    for (int n = 21; n <= 40; ++n)
        EXPECT_EQ(KvmLayout.Group[n], n <= 22 ? 1 : 0) << n;
    EXPECT_EQ(KvmLayout.Port[5], (PortRect{100, 0, 1920, 1080}));
    EXPECT_EQ(KvmLayout.Port[6], PortRect{});
    EXPECT_EQ(KvmLayout.Port[80], PortRect{});
    EXPECT_EQ(KvmLayout.MTotal[20], (DeskSize{3840, 1080}));
    EXPECT_EQ(KvmLayout.MConfig[80], (DeskOffset{0, 1080}));
    EXPECT_EQ(KvmLayout.MConfig[7], (DeskOffset{5, 6}));
    EXPECT_EQ(KvmLayout.MStyle[3], 3);
    EXPECT_EQ(KvmLayout.MStyle[4], 0);
}

TEST_F(DeviceLinkTest, ALayoutOnlyDownloadKeepsEverySetting)
{
    KvmConfig = KVM_CONFIG{0, 4, 1, 3, 10, 255, ""};
    startDownload(/*layoutOnly=*/true);
    receive(kWholeLayout + "Start 2\rSlider 5\rLayout X\rGroup1 1\rPort 1 0 0 1920 1080\r#");
    EXPECT_EQ(KvmConfig, (KVM_CONFIG{0, 4, 1, 3, 10, 255, ""}));
    EXPECT_EQ(RxConfig, KVM_CONFIG{});
    EXPECT_EQ(KvmLayout.Group[1], 1);
    EXPECT_EQ(posted, std::vector<bool>{true});
}

TEST_F(DeviceLinkTest, OnlyAWholeReplyCommits)
{
    // The lines a switch may leave out (ConfigVer, Layout, totals, offsets,
    // a monitor that is not placed): what an earlier download left in the
    // received pair stays there, and the reply tells which lines came.
    RxConfig = KVM_CONFIG{1, 2, 1, 1, 5, 0, "Old"};
    RxLayout.MTotal[3] = {7, 7};
    switchAnswers(kWhole + "Start 3\rGroup1 0 1\rPort 2 0 0 1280 1024\rMTotal 2 1280 1024\r# \r\n", 1);
    EXPECT_EQ(link->Download("COM3", false), TransferResult::Done);
    EXPECT_EQ(KvmConfig, (KVM_CONFIG{1, 3, 0, 0, 133, 0, "Old"}));
    EXPECT_EQ(KvmLayout.MTotal[3], (DeskSize{7, 7}));
    EXPECT_TRUE(link->Received().has(ReplyItem("MTotal"), 2));
    EXPECT_FALSE(link->Received().has(ReplyItem("MTotal"), 3));
    EXPECT_FALSE(link->Received().has(ReplyItem("Port"), 1));

    // Replies that lack a line the configuration needs change nothing,
    // whatever came before, and name what they lack.
    posted.clear();
    const KVM_CONFIG config = KvmConfig;
    const KVM_LAYOUT layout = KvmLayout;
    const struct {
        std::string reply;
        bool layoutOnly;
        TransferResult result;
        std::string missing;  // the first missing lines
    } damaged[] = {
        {"# \r\n", false, TransferResult::Unreadable, "Start, Glidex"},  // the prompt alone
        {"Start 2\nGroup1 1 1\n# \n", false, TransferResult::Unreadable, ""},  // lines ended by line feeds alone
        {kWholeLayout + "# \r\n", false, TransferResult::Unreadable, ""},      // no settings line
        {"Start 2\rSlider 85\r# \r\n", true, TransferResult::Unreadable, ""},  // the layout alone asked for
        {kWhole.substr(8) + "# \r\n", false, TransferResult::Incomplete, "Start"},  // a setting lost
        {"start 1\r" + kWhole.substr(8) + "# \r\n", false, TransferResult::Incomplete, "Start"},  // garbled
        {kWhole + "Group4 0 0 1\r# \r\n", false, TransferResult::Incomplete, "Port 63"},  // a placed monitor's
        {kWhole + "Group1 1 0 0 1\rPort 1 0 0 1 1\r# \r\n", false, TransferResult::Incomplete, "Port 4"},
        {"Start 1\rGlidex 0\rHotKey 0\rGroup1\r# \r\n", false, TransferResult::Incomplete,
         "Slider, SwitchPos, Group2, Group3, Group4 and 1 more"},  // cut short
        {"Group1\rGroup2\rGroup3\rGroup4\r# \r\n", true, TransferResult::Incomplete, "MStyle"},
    };
    for (const auto& row : damaged) {
        SCOPED_TRACE(row.reply);
        ticks = 0;
        switchAnswers(row.reply, 1);
        const TransferResult result = link->Download("COM3", row.layoutOnly);
        EXPECT_EQ(result, row.result);
        if (result == TransferResult::Incomplete) {
            EXPECT_EQ(MissingLinesText(link->MissingLines()), row.missing);
        }
        EXPECT_EQ(KvmConfig, config);
        EXPECT_EQ(KvmLayout, layout);
        EXPECT_TRUE(posted.empty());
    }
}

TEST_F(DeviceLinkTest, WhatArrivedBeforeACommandIsNoAnswerToIt)
{
    // A late prompt of an earlier command and part of a line wait unread
    // when the download starts; the switch's own reply follows the command.
    device->receive("# \r\nSta");
    switchAnswers(kWhole + "Start 2\r\n# \r\n", 2);
    EXPECT_EQ(link->Download("COM3", false), TransferResult::Done);
    EXPECT_EQ(KvmConfig.Start, 2);

    // Within an upload: the event thread reads what waits at every tick,
    // and the switch's prompt comes at the third. A late prompt waiting
    // before the command does not acknowledge it, nor does a partial line
    // read before it hide the prompt that does.
    port->OpenPort();
    pump.onPass = [this] {
        if (!timerRunning)
            return;
        if (++ticks == 3)
            device->receive("# \r\n");
        link->ReceiveBytes();
        link->WorkTimerTimer();
    };
    device->receive("# \r\n");
    ticks = 0;
    EXPECT_TRUE(link->SendCommand("START 1", true));
    EXPECT_EQ(ticks, 3);
    receive("noise without an end");
    ticks = 0;
    EXPECT_TRUE(link->SendCommand("GLIDEX 0", true));
    EXPECT_EQ(ticks, 3);

    // An upload started while such a late prompt waits, to a switch that
    // answers its first line and then falls silent: taken as an answer, the
    // late prompt would acknowledge the first line and the first line's
    // prompt the second, and the upload would count as done.
    device->receive("# \r\n");
    ticks = 0;
    EXPECT_EQ(link->Upload("COM3", {"START 1", "GLIDEX 0"}), TransferResult::NoReply);
}

TEST_F(DeviceLinkTest, ACommandIsAcknowledgedBeforeTheEleventhTickOrFails)
{
    port->OpenPort();
    switchAnswers("# \r\n", 10);
    EXPECT_TRUE(link->SendCommand("START 1", true));
    EXPECT_EQ(device->record().written, "START 1\r");
    EXPECT_FALSE(timerRunning);
    EXPECT_FALSE(link->LinkFailed());

    // A prompt handled in the same pass as the 11th tick still counts.
    ticks = 0;
    switchAnswers("# \r\n", 11);
    EXPECT_TRUE(link->SendCommand("HOTKEY 0", true));

    ticks = 0;
    switchAnswers("", 0);
    EXPECT_FALSE(link->SendCommand("GLIDEX 0", true));
    EXPECT_EQ(ticks, 11);
    EXPECT_TRUE(link->LinkFailed());
    EXPECT_EQ(link->WaitTicks(), -1);

    // Once failed, nothing more is sent.
    EXPECT_FALSE(link->SendCommand("SAVE", true));
    EXPECT_FALSE(link->SendCommand("SAVE", false));
    EXPECT_EQ(device->record().written, "START 1\rHOTKEY 0\rGLIDEX 0\r");
}

TEST_F(DeviceLinkTest, LoadConfigReportsEachOutcome)
{
    std::vector<TransferMessage> shown;
    // The port cannot be opened.
    device->failWith(FakeCommDevice::Op::Open, 2);
    shown.push_back(EndMessage(TransferCommand::LoadConfig, link->Download("COM3", false)));
    EXPECT_TRUE(link->LinkFailed());
    device->failWith(FakeCommDevice::Op::Open, 0);

    // The switch answers.
    switchAnswers(kWhole + "Start 4\r\n# \r\n", 2);
    EXPECT_EQ(link->Download("COM3", false), TransferResult::Done);
    shown.push_back(EndMessage(TransferCommand::LoadConfig, TransferResult::Done));
    EXPECT_EQ(device->record().written, "CONFIG\r");
    EXPECT_EQ(device->record().opened, std::vector<std::string>{"COM3"});
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(KvmConfig.Start, 4);

    // It stays silent: the command wait, then 30 polls of 10 ms.
    ticks = 0;
    switchAnswers("", 0);
    KvmConfig.Start = 1;
    shown.push_back(EndMessage(TransferCommand::LoadConfig, link->Download("COM3", false)));
    EXPECT_EQ(pump.sleptMs, 300);
    EXPECT_EQ(KvmConfig.Start, 1);
    EXPECT_FALSE(link->DownloadActive());

    std::vector<std::pair<QString, QString>> texts;
    for (const TransferMessage& message : shown)
        texts.emplace_back(message.text, message.caption);
    EXPECT_EQ(texts, (std::vector<std::pair<QString, QString>>{{"COM port open error!", "Error"},
                                                               {"Load Config finished!", "Info"},
                                                               {"Load Config error!", "Error"}}));
}

TEST_F(DeviceLinkTest, GroupKeywordsOutsideTheFourBlocksAreIgnored)
{
    startDownload();
    // With a settings line, so that the download commits what it took.
    receive(kWhole + "Start 2\rGroup0 1\rGroup5 1\rGroup 1\rGroup11 1\rGroup01 1\r#");
    EXPECT_EQ(KvmConfig.Start, 2);
    EXPECT_EQ(KvmLayout, KVM_LAYOUT{});
    EXPECT_EQ(kReplyLines, 192);  // the progress total of a download: seven settings and the layout's lines
}

TEST_F(DeviceLinkTest, AnUploadStopsAtTheFirstUnacknowledgedLine)
{
    // The switch never answers: only the first line goes out.
    switchAnswers("", 0);
    EXPECT_EQ(link->Upload("COM2", {"START 1", "GLIDEX 0", "SAVE"}), TransferResult::NoReply);
    EXPECT_TRUE(link->LinkFailed());
    EXPECT_EQ(device->record().written, "START 1\r");
    EXPECT_EQ(link->CommandList(), (std::vector<std::string>{"START 1", "GLIDEX 0", "SAVE"}));
    EXPECT_FALSE(device->isOpen());

    // Every line acknowledged but "SAVE", which went out: the switch may hold it.
    ticks = 0;
    switchAnswers("# \r\n", 1);
    EXPECT_EQ(link->Upload("COM2", {"START 1", "SAVE"}), TransferResult::SaveUnconfirmed);
    EXPECT_EQ(device->record().written, "START 1\rSTART 1\rSAVE\r");

    // A port that cannot be opened: nothing is sent.
    device->failWith(FakeCommDevice::Op::Open, 2);
    const TransferMessage shown = EndMessage(TransferCommand::SaveConfig, link->Upload("COM2", {"START 1"}));
    EXPECT_TRUE(link->LinkFailed());
    EXPECT_EQ(shown.text, "COM port open error!");
}

}  // namespace
