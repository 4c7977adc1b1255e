// Every answer true under a damaged line: each command, from the command
// line and from the window, against each fault the simulator injects, and
// one invariant checked against the simulator's own state file, never the
// program's account of it. A success means that what was said happened (the
// file holds what the switch holds, the switch saved what the file says);
// a failure changed nothing it says it kept.

#include "e2e/ProgramFixture.h"
#include "support/FindWidget.h"

#include <QPushButton>

#include <map>

namespace {

// The switch before each row: monitors of different sizes on the Master and
// Slave 1, a second monitor whose offset is the only one not 0, 0 (reply
// line 133, late in the reply) and a monitor not placed whose stale
// rectangle is sent all the same.
const char* const kSwitch =
    "[Switch]\nStart=3\nGlidex=1\nHotKey=2\nSlider=135\nSwitchPos=255\n"
    "[Layout]\nGroup=1 1 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1\nMStyle=1\nMTotal1=3840 1080\nMConfig21=1920 0\n"
    "Port1=0 0 1920 1080\nPort2=3840 0 1280 1024\nPort5=0 1080 1024 768\nPort21=1920 0 1920 1080\n"
    "Port50=7 7 640 480\n";

// What the rows send, different from kSwitch in every setting and place.
const char* const kFile =
    "[Setup]\nCOMPort=1\nStart=2\nGlidex=0\nHotKey=1\nMouseSlider=5\nSwitchPosition=0\n"
    "[Layout]\nGroup=1 1\nMStyle=0\nPort1=0 0 1280 1024\nPort2=1280 0 1920 1080\n";

// A file --read replaces: stale values where the switch may send nothing.
const char* const kStale = "[Layout]\r\nMConfig21=5 5\r\nPort50=1 1 1 1\r\n";

// The keys a file read from kSwitch cannot lack.
const char* const kNeeded[] = {"[Setup]Start",   "[Setup]Glidex",  "[Setup]HotKey", "[Setup]MouseSlider",
                               "[Setup]SwitchPosition", "[Layout]Group", "[Layout]MStyle", "[Layout]Port1",
                               "[Layout]Port2", "[Layout]Port5", "[Layout]Port21"};

enum class Command { Read, Write, Verify, Compare, WindowLoad, WindowSave };

const char* nameOf(Command command)
{
    constexpr const char* kNames[] = {"--read", "--write", "--write --verify", "--compare", "Load Config",
                                      "Save Config"};
    return kNames[static_cast<int>(command)];
}

struct Outcome {
    int status = -1;  // the exit status; for a window, 0 when it told of success
    std::string output;
    std::string error;  // standard error, or the window's last message
};

// A file's keys and values, by "section/key".
std::map<std::string, std::string> keysOf(const std::string& text)
{
    std::map<std::string, std::string> keys;
    std::istringstream in(text);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('['))
            section = line;
        else if (const auto equals = line.find('='); equals != std::string::npos)
            keys[section + line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

class TruthUnderFaultsTest : public ProgramFixture {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    std::string file(const char* name) const { return ReadFileBytes(QString::fromStdString(path(name))); }
    void put(const char* name, const std::string& text) const
    {
        ASSERT_TRUE(WriteFileBytes(QString::fromStdString(path(name)), text));
    }

    // torvik-setup run as a script runs it, against the simulator.
    Outcome runProgram(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv{TORVIK_SETUP, "--port", path("switch")};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::optional<int> status = RunCapturing(argv, {{}, path("stdout"), path("stderr")});
        return {status.value_or(-1), file("stdout"), file("stderr")};
    }

    // The window's command, on windows made afresh from a settings file
    // that holds kFile, as a program just started has them.
    Outcome runWindow(Command command)
    {
        config = ConfigRecords{};
        put("TORVIK.INI", kFile);
        TfrmSetup& w = openWindows(path("switch"));
        before_ = {KvmConfig, KvmLayout};
        prompts.answer(MsgAnswer::Ok);
        if (command == Command::WindowLoad)
            w.LoadConfig(false, true);
        else
            FindWidget<QPushButton>(w, "btnSaveConfig")->click();
        const std::string message = prompts.boxes().empty() ? std::string() : prompts.boxes().back().text.toStdString();
        const bool told = message.starts_with("Load Config finished!") || message.starts_with("Save Config successed!");
        return {told ? 0 : 4, std::string(), message};
    }

    Outcome run(Command command, const std::vector<std::string>& fault)
    {
        put("state", kSwitch);
        QFile::remove(QString::fromStdString(path("FILE")));
        std::vector<std::string> options = fault;
        options.insert(options.end(), {"--link", path("switch"), "--state", path("state")});
        sim = std::make_unique<SimProcess>(options);
        EXPECT_FALSE(sim->path().empty());
        switch (command) {
        case Command::Read:
            put("FILE", kStale);
            return runProgram({"--read", path("FILE")});
        case Command::Write:
            put("FILE", kFile);
            return runProgram({"--write", path("FILE")});
        case Command::Verify:
            put("FILE", kFile);
            return runProgram({"--write", path("FILE"), "--verify"});
        case Command::Compare:
            put("FILE", held_);
            return runProgram({"--compare", path("FILE")});
        case Command::WindowLoad:
        case Command::WindowSave:
            break;
        }
        return runWindow(command);
    }

    // What the fault-free commands make, the yardstick of the rows.
    void takeYardsticks()
    {
        ASSERT_EQ(run(Command::Read, {}).status, 0);
        held_ = file("FILE");
        ASSERT_EQ(run(Command::Write, {}).status, 0);
        written_ = file("state");
        ASSERT_EQ(run(Command::WindowSave, {}).status, 0);
        windowSaved_ = file("state");
        ASSERT_EQ(run(Command::WindowLoad, {}).status, 0);
        loaded_ = {KvmConfig, KvmLayout};
        ASSERT_NE(written_, kSwitch);
    }

    // The invariant, for `command` that ended with `outcome`.
    void checkTruth(Command command, const Outcome& outcome)
    {
        const std::string state = file("state");
        // An upload that failed left the stored configuration as it was,
        // unless it says that SAVE went out or that the upload was done.
        const bool saidSaved = outcome.error.find("successed!") != std::string::npos ||
                               outcome.error.find("may hold") != std::string::npos;
        if (outcome.status != 0 && !saidSaved) {
            EXPECT_EQ(state, kSwitch) << "a failure that kept nothing changed the switch";
        }
        // Differences are real ones, or entries the switch did not send.
        if (outcome.status == 1) {
            std::istringstream lines(outcome.output);
            for (std::string line; std::getline(lines, line);) {
                if (command == Command::Compare || state == written_) {
                    EXPECT_NE(line.find("switch not sent"), std::string::npos) << line;
                }
            }
        }
        switch (command) {
        case Command::Read:
            if (outcome.status != 0) {
                EXPECT_EQ(file("FILE"), kStale) << "a failed read changed FILE";
                break;
            }
            for (const auto& [key, value] : keysOf(file("FILE")))
                EXPECT_EQ(value, keysOf(held_)[key]) << key << " is not what the switch holds";
            for (const char* key : kNeeded)
                EXPECT_TRUE(keysOf(file("FILE")).contains(key)) << key;
            break;
        case Command::Write:
        case Command::Verify:
            if (outcome.status == 0) {
                EXPECT_EQ(state, written_) << "told done, but the switch holds something else";
            }
            break;
        case Command::WindowSave:
            if (outcome.status == 0) {
                EXPECT_EQ(state, windowSaved_) << "told done, but the switch holds something else";
            }
            break;
        case Command::WindowLoad:
            if (outcome.status == 0) {
                EXPECT_EQ(KvmConfig, loaded_.first);
                EXPECT_EQ(KvmLayout.Group, loaded_.second.Group);
                EXPECT_EQ(KvmLayout.MStyle, loaded_.second.MStyle);
            } else {
                EXPECT_EQ(KvmConfig, before_.first) << "a failed load changed the window";
                EXPECT_EQ(KvmLayout, before_.second) << "a failed load changed the window";
            }
            break;
        case Command::Compare:
            break;
        }
    }

    std::string held_;         // FILE after a read of kSwitch
    std::string written_;      // the switch's state after kFile was written
    std::string windowSaved_;  // the switch's state after the window saved kFile
    std::pair<KVM_CONFIG, KVM_LAYOUT> loaded_;  // the window's records after loading kSwitch
    std::pair<KVM_CONFIG, KVM_LAYOUT> before_;  // the window's records before its command
};

TEST_F(TruthUnderFaultsTest, ASuccessHappenedAndAFailureKeptWhatItSays)
{
    takeYardsticks();
    const std::vector<Command> downloads{Command::Read, Command::Compare, Command::Verify, Command::WindowLoad};
    const std::vector<Command> uploads{Command::Write, Command::Verify, Command::WindowSave};
    // Reply lines: 2 Start, 9 Group2, 12 + n - 1 Port n, 92 MStyle, 113 + n - 1 MConfig n.
    const struct {
        std::vector<std::string> fault;
        std::vector<Command> commands;
        bool succeeds;  // every command must succeed: the reply was whole
    } rows[] = {
        {{"--cut-after", "91"}, downloads, false},
        {{"--cut-after", "0"}, downloads, false},
        {{"--stray-prompt-after", "40"}, downloads, false},
        {{"--stray-prompt-after", "120"}, downloads, true},  // MConfig 8 to 80 left out
        {{"--lose-line", "2"}, downloads, false},
        {{"--lose-line", "16"}, downloads, false},  // Port 5, placed
        {{"--lose-line", "61"}, downloads, true},   // Port 50, not placed
        {{"--garble-line", "2"}, downloads, false},
        {{"--garble-line", "9"}, downloads, false},
        {{"--line-gap-ms", "5"}, downloads, false},  // whole, unless the machine is too slow
        {{"--save-late-ms", "1500"}, uploads, false},
    };
    for (const auto& row : rows) {
        for (const Command command : row.commands) {
            SCOPED_TRACE(row.fault[0] + " " + row.fault[1] + ", " + nameOf(command));
            const Outcome outcome = run(command, row.fault);
            checkTruth(command, outcome);
            if (row.succeeds) {
                EXPECT_LE(outcome.status, 1) << outcome.error;
            }
        }
    }
}

}  // namespace
