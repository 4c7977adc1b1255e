// The real torvik-sim program, driven over its pseudo-terminal.
#include "SimProcess.h"

#include "sim/ConfigReply.h"
#include "sim/StateFile.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <set>
#include <thread>

namespace {

using Lines = std::vector<std::string>;
const Lines kPromptOnly{"# \r\n"};

Lines defaultReply(bool withPrompt)
{
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    Lines lines = ConfigReplyLines(config, layout);
    if (withPrompt)
        lines.push_back("# ");
    return lines;
}

std::string firstToken(const std::string& line)
{
    return line.substr(0, line.find(' '));
}

class TorvikSimTest : public testing::Test {
protected:
    std::string file(const char* name) const { return dir.filePath(QLatin1String(name)).toStdString(); }
    bool isLink(const char* name) const { return QFileInfo(QString::fromStdString(file(name))).isSymLink(); }
    QTemporaryDir dir;
};

TEST_F(TorvikSimTest, FreshSimulatorReportsTheDefaultConfiguration)
{
    SimProcess sim({"--link", file("tty")});
    ASSERT_FALSE(sim.path().empty());
    EXPECT_EQ(QFileInfo(QString::fromStdString(file("tty"))).symLinkTarget().toStdString(), sim.path());
    SwitchLine line(file("tty"));
    ASSERT_TRUE(line.isOpen());

    const Lines reply = line.exchange("CONFIG");
    ASSERT_EQ(reply.size(), 193u);
    for (const std::string& replyLine : reply)
        EXPECT_TRUE(replyLine.ends_with("\r\n") && !replyLine.ends_with("\r\r\n")) << replyLine;
    const Lines lines = WithoutEndings(reply);

    Lines keywords{"ConfigVer", "Start", "Glidex", "HotKey", "Slider", "SwitchPos", "Layout",
                   "Group1",    "Group2", "Group3", "Group4"};
    keywords.insert(keywords.end(), 80, "Port");
    keywords.push_back("MStyle");
    keywords.insert(keywords.end(), 20, "MTotal");
    keywords.insert(keywords.end(), 80, "MConfig");
    keywords.push_back("#");
    Lines received;
    for (const std::string& replyLine : lines)
        received.push_back(firstToken(replyLine));
    EXPECT_EQ(received, keywords);

    EXPECT_EQ(lines[4], "Slider 85");
    EXPECT_EQ(lines[7], "Group1 1 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[14], "Port 4 5760 0 1920 1080");
    EXPECT_EQ(lines[15], "Port 5 0 0 0 0");
    EXPECT_EQ(lines, defaultReply(true));
}

TEST_F(TorvikSimTest, SavedUploadIsWhatConfigReportsAndTheStateFileKeepsAcrossARestart)
{
    const Lines upload = {
        "START 3", "GLIDEX 1", "HOTKEY 2", "SLIDER 8a", "  SWITCHPOS  FF ",
        "GROUP2 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "PORT 21 100 1080 1280 1024",
        "MSTYLE 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "MTOTAL 1 3200 1080", "MCONFIG 21 1920 0",
    };
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    config.Start = 3;
    config.Glidex = 1;
    config.HotKey = 2;
    config.Slider = 138;
    config.SwitchPos = 255;
    layout.Group[21] = layout.Group[22] = 1;
    layout.Port[21] = {100, 1080, 1280, 1024};
    layout.MStyle[1] = 1;
    layout.MTotal[1] = {3200, 1080};
    layout.MConfig[21] = {1920, 0};
    Lines saved = ConfigReplyLines(config, layout);
    saved.push_back("# ");

    {
        SimProcess sim({"--state", file("state.ini")});
        {
            SwitchLine line(sim.path());
            ASSERT_TRUE(line.isOpen());
            for (const std::string& command : upload)
                EXPECT_EQ(line.exchange(command), kPromptOnly) << command;
            EXPECT_EQ(WithoutEndings(line.exchange("CONFIG")), defaultReply(true));  // not saved yet
        }
        // The utility closes its end between transfers and opens it again.
        SwitchLine line(sim.path());
        ASSERT_TRUE(line.isOpen());
        EXPECT_EQ(line.exchange("SAVE"), kPromptOnly);
        const Lines reply = WithoutEndings(line.exchange("CONFIG"));
        ASSERT_EQ(reply, saved);
        EXPECT_EQ(reply[4], "Slider 8A");
        EXPECT_EQ(reply[5], "SwitchPos FF");

        // Changed but not saved: lost with the restart.
        EXPECT_EQ(line.exchange("START 4"), kPromptOnly);
        EXPECT_EQ(sim.stop(SIGTERM), 0);
    }
    SimProcess restarted({"--state", file("state.ini")});
    SwitchLine line(restarted.path());
    ASSERT_TRUE(line.isOpen());
    EXPECT_EQ(WithoutEndings(line.exchange("CONFIG")), saved);
}

TEST_F(TorvikSimTest, StopSignalsEndItCleanlyAndRemoveTheLink)
{
    for (const int signal : {SIGINT, SIGTERM}) {
        SimProcess sim({"--link", file("tty")});
        ASSERT_TRUE(isLink("tty"));
        EXPECT_EQ(sim.stop(signal), 0) << signal;
        EXPECT_FALSE(isLink("tty")) << signal;
    }
}

TEST_F(TorvikSimTest, UnknownMalformedAndHostileInputGetsThePromptOnly)
{
    SimProcess sim({});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    for (const char* command : {"HELLO", "config", "START x", "PORT 81 0 0 0 0", ""})
        EXPECT_EQ(line.exchange(command), kPromptOnly) << command;

    // Any bytes but CR, far more than a line holds, make one line.
    std::mt19937 random(1);
    std::string junk;
    while (junk.size() < 20000) {
        const char byte = static_cast<char>(random() & 0xFF);
        if (byte != '\r')
            junk += byte;
    }
    EXPECT_EQ(line.exchange(junk), kPromptOnly);

    // LF is ignored, so CR LF ends a command as CR does.
    line.send("\n\nSAVE\r\n");
    EXPECT_EQ(line.readLine(), kPromptOnly[0]);
    EXPECT_EQ(WithoutEndings(line.exchange("CONFIG")), defaultReply(true));
}

TEST_F(TorvikSimTest, SilentAfterAnswersNothingMoreAndTheLogHoldsEveryLine)
{
    SimProcess sim({"--silent-after", "2", "--log", file("commands.log")});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    EXPECT_EQ(line.exchange("START 2"), kPromptOnly);
    EXPECT_EQ(line.exchange("CONFIG").size(), 193u);
    line.send("CONFIG\rSAVE\n\r");
    EXPECT_TRUE(line.quietFor(300ms));
    EXPECT_EQ(sim.stop(SIGTERM), 0);
    EXPECT_EQ(ReadFileBytes(QString::fromStdString(file("commands.log"))), "START 2\nCONFIG\nCONFIG\nSAVE\n");
}

TEST_F(TorvikSimTest, DelayHoldsBackThePromptButNotTheReplyLines)
{
    SimProcess sim({"--delay-ms", "600000"});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    line.send("CONFIG\r");
    for (int i = 0; i < 192; ++i)
        ASSERT_TRUE(line.readLine()) << i;
    EXPECT_TRUE(line.quietFor(300ms));
    EXPECT_EQ(sim.stop(SIGTERM), 0);  // even with the prompt still waiting
}

// Also when an adapter's latency timer holds the paced bytes back.
TEST_F(TorvikSimTest, PacedOutputIsComplete)
{
    for (const Lines& options : {Lines{"--pace", "--delay-ms", "1"}, Lines{"--pace", "--latency-ms", "16"}}) {
        SimProcess sim(options);
        SwitchLine line(sim.path());
        ASSERT_TRUE(line.isOpen());
        EXPECT_EQ(WithoutEndings(line.exchange("CONFIG")), defaultReply(true)) << options[1];
        EXPECT_EQ(line.exchange("SAVE"), kPromptOnly) << options[1];
    }
}

TEST_F(TorvikSimTest, EchoComesFirstAndLfOnlyEndsEveryLine)
{
    SimProcess sim({"--echo", "--lf-only"});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    EXPECT_EQ(line.exchange("START 2"), (Lines{"START 2\n", "# \n"}));
    const Lines reply = line.exchange("CONFIG");
    ASSERT_EQ(reply.size(), 194u);
    EXPECT_EQ(reply[0], "CONFIG\n");
    EXPECT_EQ(reply[1], "ConfigVer 0\n");
    for (const std::string& replyLine : reply)
        EXPECT_EQ(replyLine.find('\r'), std::string::npos) << replyLine;
}

TEST_F(TorvikSimTest, NoiseFallsBetweenReplyLinesAndNeverReadsAsOne)
{
    SimProcess sim({"--noise", "--seed", "7"});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    const Lines expected = defaultReply(false);
    std::set<std::string> keywords;
    for (const std::string& replyLine : expected)
        keywords.insert(firstToken(replyLine));

    for (int round = 0; round < 3; ++round) {
        const Lines reply = WithoutEndings(line.exchange("CONFIG"));
        ASSERT_FALSE(reply.empty());
        EXPECT_EQ(reply.back(), "# ");
        std::size_t matched = 0;
        int junk = 0;
        for (std::size_t i = 0; i + 1 < reply.size(); ++i) {
            const std::string& text = reply[i];
            if (matched < expected.size() && text == expected[matched]) {
                ++matched;
                continue;
            }
            ++junk;
            ASSERT_FALSE(text.empty());
            EXPECT_TRUE(text.front() != '#' && text.front() != ' ' && !keywords.contains(firstToken(text))) << text;
            EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; })) << text;
        }
        EXPECT_EQ(matched, expected.size());
        EXPECT_GT(junk, 0);
    }
}

// A worn cable or a wrong device: each fault damages the reply to CONFIG
// (every one, or with --fault-on the one named only) and keeps its prompt.
TEST_F(TorvikSimTest, FaultsDamageTheReplyToConfigAndKeepItsPrompt)
{
    const Lines whole = defaultReply(false);
    const Lines cut(whole.begin(), whole.begin() + 91);
    Lines stray = whole;
    stray.insert(stray.begin() + 11, "# ");
    Lines lost = whole;
    lost.erase(lost.begin() + 1);
    Lines garbled = whole;
    garbled[1] = "start 1";
    Lines garbledPort = whole;
    garbledPort[11] = "port 1 0 0 1920 1080";
    struct Row {
        Lines options;
        Lines damaged;
        bool secondOnly = false;
    };
    const Row rows[] = {
        {{"--cut-after", "91"}, cut},
        {{"--cut-after", "0"}, {}},
        // Numbers that name no line.
        {{"--cut-after", "192", "--stray-prompt-after", "0", "--lose-line", "193", "--garble-line", "0"}, whole},
        {{"--stray-prompt-after", "11"}, stray},
        {{"--lose-line", "2"}, lost},
        {{"--garble-line", "2", "--line-gap-ms", "1"}, garbled},
        {{"--fault-on", "2", "--garble-line", "12", "--line-gap-ms", "1"}, garbledPort, true},
    };
    for (const Row& row : rows) {
        std::string name;
        for (const std::string& option : row.options)
            name += option + ' ';
        SimProcess sim(row.options);
        SwitchLine line(sim.path());
        ASSERT_TRUE(line.isOpen()) << name;
        for (int config = 1; config <= 3; ++config) {
            Lines expected = row.secondOnly && config != 2 ? whole : row.damaged;
            expected.push_back("# ");
            line.send("CONFIG\r");
            Lines reply;
            while (reply.size() < expected.size()) {
                const std::optional<std::string> received = line.readLine();
                if (!received)
                    break;
                reply.push_back(*received);
            }
            EXPECT_EQ(WithoutEndings(reply), expected) << name << "CONFIG " << config;
        }
        // Nothing follows the prompt, and other commands are answered as before.
        EXPECT_EQ(line.exchange("START 2"), kPromptOnly) << name;
    }
}

TEST_F(TorvikSimTest, SaveLateStoresAtOnceAndHoldsBackOnlyItsPrompt)
{
    SimProcess sim({"--save-late-ms", "600000", "--state", file("state.ini")});
    SwitchLine line(sim.path());
    ASSERT_TRUE(line.isOpen());
    EXPECT_EQ(line.exchange("START 3"), kPromptOnly);
    line.send("SAVE\r");
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    for (const auto deadline = std::chrono::steady_clock::now() + kReplyLimit;
         config.Start != 3 && std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(5ms)) {
        ResetToDefaults(config, layout);
        ReadStateFile(QString::fromStdString(file("state.ini")), config, layout);
    }
    EXPECT_EQ(config.Start, 3);
    EXPECT_TRUE(line.quietFor(300ms));
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST_F(TorvikSimTest, HangUpAfterClosesTheLineOnceTheAnswersAreRead)
{
    SimProcess sim({"--hangup-after", "2", "--link", file("tty")});
    SwitchLine line(file("tty"));
    ASSERT_TRUE(line.isOpen());
    EXPECT_EQ(line.exchange("START 2"), kPromptOnly);
    EXPECT_EQ(line.exchange("CONFIG").size(), 193u);
    EXPECT_TRUE(line.hangsUp());
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_FALSE(isLink("tty"));
}

TEST_F(TorvikSimTest, BadCommandLinesAreRefused)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const std::vector<Lines> bad = {
        {"--bogus"}, {"--delay-ms", "-1"}, {"--silent-after", "ten"}, {"--seed", "4294967296"},
        {"--link"},  {"--link", ""},       {"--state", file("folder")}, {"--latency-ms", "256"},
        {"--cut-after", "-1"}, {"--fault-on", "2147483648"},
    };
    for (const Lines& options : bad) {
        SimProcess sim(options);
        EXPECT_TRUE(sim.path().empty()) << options[0];
        EXPECT_NE(sim.waitForExit().value_or(0), 0) << options[0];
    }
}

}  // namespace
