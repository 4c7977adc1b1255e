// The command line as a script runs it: torvik-setup as its own process,
// without a display (and with a window-system plugin that does not exist,
// so that loading any would end it), against torvik-sim, whose command log
// shows what reached the switch.

#include "sim/SimProcess.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file the rows send and compare: settings the window's controls hold,
// and three monitors of different sizes, the layout 100, 50 away from the
// origin (sending moves it there). Port 1 has two monitors side by side, the
// second off the canvas (1920 x 1080 when sent).
const char* const kFile =
    "[Setup]\nCOMPort=1\nStart=3\nGlidex=1\nHotKey=2\nMouseSlider=135\nSwitchPosition=255\n"
    "[Layout]\nGroup=1 1 0 0 1\nMStyle=1\nPort1=100 50 1920 1080\nPort2=2020 50 1280 1024\nPort5=100 1130 1024 768\n";

// What the switch holds after that file: the simulator's state file.
const char* const kSwitchState =
    "[Switch]\nStart=3\nGlidex=1\nHotKey=2\nSlider=135\nSwitchPos=255\n"
    "[Layout]\nGroup=1 1 0 0 1\nMStyle=1\nMTotal1=3840 1080\nMConfig21=1920 0\n"
    "Port1=0 0 1920 1080\nPort2=1920 0 1280 1024\nPort5=0 1080 1024 768\nPort21=0 0 1920 1080\n";

// A switch whose layout stands away from the origin, with totals and
// offsets that do not follow from its monitors and a style out of range:
// the editor would move and recompute all of them.
const char* const kAwaySwitch =
    "[Switch]\nStart=2\n[Layout]\nGroup=1 1\nMStyle=1 9\nMTotal1=7 7\nMConfig2=5 5\n"
    "Port1=100 50 1920 1080\nPort2=2020 50 1280 1024\n";

// kFile with another start port and the Slave's monitor taken away.
const char* const kFileWithChanges =
    "[Setup]\nCOMPort=1\nStart=2\nGlidex=1\nHotKey=2\nMouseSlider=135\nSwitchPosition=255\n"
    "[Layout]\nGroup=1 1\nMStyle=1\nPort1=100 50 1920 1080\nPort2=2020 50 1280 1024\n";

// Two monitors overlapping by 1000 pixels.
const char* const kOverlapping = "[Setup]\nStart=2\n[Layout]\nGroup=1 1\nPort1=0 0 1920 1080\nPort2=920 0 1920 1080\n";

// A hand-kept file with what --write cannot send as it stands: a hot key
// out of range, and a second monitor on a port whose style has one.
const char* const kFileWithWarnings =
    "[Setup]\nStart=3 ; power-up port\nHotKey=7\n"
    "[Layout]\nGroup=1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1\nMStyle=0\n"
    "Port1=0 0 1920 1080\nPort21=1920 0 1920 1080\n";

// A file name in Latin-1, not valid UTF-8.
const char* const kLatin1Name = "B\xFCro.ini";

// What the simulator's command log holds afterwards.
enum class Sent {
    Nothing,
    ConfigOnly,       // "CONFIG"
    ConfigTwice,      // "CONFIG", from two commands
    UploadAndSave,    // the 191 lines of Save Config, "SAVE" last, then "CONFIG" when verifying
    StoppedBeforeSave,
    FirstLineOnly,
};

struct Row {
    const char* name;
    std::vector<std::string> simOptions;
    const char* switchState;  // the simulator's state file, or none: a fresh switch
    std::vector<std::string> args;  // "PORT", "DEVICE", "FILE": the simulator's COM name and device, the file
    const char* file;               // FILE's content beforehand, or none: FILE does not exist
    bool fileOnInput;               // FILE is "-", its content on standard input
    int status;
    Sent sent;
    std::string errorHas;        // in standard error
    std::string output;          // standard output, whole
    std::vector<std::string> fileHas;  // in FILE afterwards
    std::size_t interruptAt = 0;  // SIGINT once the switch has received this many lines
    bool portBusy = false;       // another process holds the device
    std::vector<std::string> first = {};  // a command run before, its outcome not looked at
    int fileMode = 0;            // FILE's mode beforehand, kept afterwards; 0: as made
    const char* made = nullptr;  // the name, as bytes, of a file the command makes
};

struct Outcome {
    std::optional<int> status;
    std::string output;
    std::string error;
};

class CommandLineEndToEndTest : public testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }

    void writeFile(const std::string& file, const std::string& text) const
    {
        ASSERT_TRUE(WriteFileBytes(QString::fromStdString(file), text));
    }

    // Runs torvik-setup with `args`, without a display and with the window
    // system `platform`; with `interruptAt`, SIGINT follows as soon as the
    // command log holds that many lines.
    Outcome run(const std::vector<std::string>& args, const std::string& input, std::size_t interruptAt)
    {
        std::vector<std::string> argv{"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};
        if (platform.empty())
            argv.insert(argv.end(), {"-u", "QT_QPA_PLATFORM"});
        else
            argv.push_back("QT_QPA_PLATFORM=" + platform);
        argv.push_back(TORVIK_SETUP);
        argv.insert(argv.end(), args.begin(), args.end());
        const std::optional<int> status =
            RunCapturing(argv, {input, path("stdout"), path("stderr")}, [&](pid_t pid) {
                if (interruptAt > 0 && logged().size() >= interruptAt) {
                    kill(pid, SIGINT);
                    interruptAt = 0;
                }
            });
        return {status, ReadFileBytes(QString::fromStdString(path("stdout"))),
                ReadFileBytes(QString::fromStdString(path("stderr")))};
    }

    std::vector<std::string> logged() const
    {
        const QString log = QString::fromStdString(path("commands.log"));
        std::istringstream in(QFile::exists(log) ? ReadFileBytes(log) : std::string());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    QTemporaryDir dir;
    // The window system the program is given: by default one that cannot
    // be loaded, so a command that loads one fails.
    std::string platform = "no-such-platform";
    // The X display named in DISPLAY, unset when empty.
    std::string display;
};

TEST_F(CommandLineEndToEndTest, EachCommandAndFailureWithoutADisplay)
{
    const std::vector<std::string> read{"--port", "PORT", "--read", "FILE"};
    const std::vector<std::string> write{"--port", "PORT", "--write", "FILE"};
    const std::vector<std::string> compare{"--port", "PORT", "--compare", "FILE"};
    const auto with = [](std::vector<std::string> args, std::initializer_list<std::string> more) {
        args.insert(args.end(), more);
        return args;
    };
    const std::string fresh = "Start: switch 1, file 3\nGlidex: switch 0, file 1\nHotKey: switch 0, file 2\n"
                              "MouseSlider: switch 133, file 135\nSwitchPosition: switch 0, file 255\n";
    // Nearer to the file as it stands than to what sending it would make of it.
    const std::string freshLayout = "1A: switch 1920 x 1080 at 0, 0; file 1920 x 1080 at 100, 50\n"
                                    "2A: switch 1920 x 1080 at 1920, 0; file 1280 x 1024 at 2020, 50\n"
                                    "3A: switch 1920 x 1080 at 3840, 0; file not placed\n"
                                    "4A: switch 1920 x 1080 at 5760, 0; file not placed\n"
                                    "S1.1A: switch not placed; file 1024 x 768 at 100, 1130\n"
                                    "Style 1: switch 0, file 1\n";
    const Row rows[] = {
        // COMPort is the COM name that leads to the device given.
        {"read", {}, kSwitchState, {"--port", "DEVICE", "--read", "FILE"}, nullptr, false, 0, Sent::ConfigOnly,
         "Load Config finished!", "",
         {"[Setup]\r\nCOMPort=23\r\nStart=3\r\nGlidex=1\r\nHotKey=2\r\nMouseSlider=135\r\nSwitchPosition=255\r\n",
          "\r\nPort2=1920 0 1280 1024\r\n", "\r\nPort5=0 1080 1024 768\r\n"}},
        {"read the layout, into a file with more", {}, kSwitchState, with(read, {"--layout-only"}),
         "[Ports]\nCOM9=/dev/ttyS9\n[Layout]\nPort2=1 2 3 4\n", false, 0, Sent::ConfigOnly, "Load Layout finished!", "",
         {"[Ports]\nCOM9=/dev/ttyS9\n[Layout]\nPort2=1920 0 1280 1024\n"}},
        {"write and verify", {}, nullptr, with(write, {"--verify"}), kFile, false, 0, Sent::UploadAndSave,
         "Save Config successed!\nThe switch holds what", "", {}},
        {"compare, no difference", {}, kSwitchState, compare, kFile, true, 0, Sent::ConfigOnly,
         "The switch holds what standard input holds.", "", {}},
        {"compare, differences", {}, nullptr, compare, kFile, false, 1, Sent::ConfigOnly,
         "The switch differs from", fresh + freshLayout, {}},
        {"compare the layout", {}, nullptr, with(compare, {"--layout-only", "--quiet"}), kFile, false, 1,
         Sent::ConfigOnly, "The switch differs from", freshLayout, {}},
        {"silent switch", {"--silent-after", "0"}, nullptr, write, kFile, false, 4, Sent::FirstLineOnly,
         "COM port error! Please try again.", "", {}},
        {"missing device", {}, nullptr, {"--port", "/nonexistent/ttyUSB9", "--read", "FILE"}, nullptr, false, 3,
         Sent::Nothing, "COM port open error!\n/nonexistent/ttyUSB9: No such file or directory", "", {}},
        {"busy device", {}, nullptr, compare, kFile, false, 3, Sent::Nothing,
         "COM port open error!\n" + path("switch") + " is in use by another program.", "", {}, false, true},
        {"overlapping layout", {}, nullptr, write, kOverlapping, false, 5, Sent::Nothing, "1A, 2A is intersected!",
         "", {}},
        {"interrupted write", {"--delay-ms", "20"}, nullptr, with(write, {"--quiet"}), kFile, false, 130, Sent::StoppedBeforeSave,
         "Transfer cancelled! The switch keeps the configuration it had saved.", "", {}, 5},
        // Stopped while reading back, after "SAVE" was acknowledged.
        {"interrupted verify", {"--line-gap-ms", "20"}, nullptr, with(write, {"--verify", "--quiet"}), kFile, false, 130,
         Sent::UploadAndSave, "Transfer cancelled! The switch saved " + path("FILE") + ", but it was not read back", "",
         {}, 192},
        {"usage", {}, nullptr, with(read, {"--verify"}), nullptr, false, 2, Sent::Nothing,
         "torvik-setup: --verify goes with --write\nTry 'torvik-setup --help' for more information.\n",
         "", {}},
        {"COM name out of range", {}, nullptr, {"--port", "com256", "--read", "FILE"}, nullptr, false, 2, Sent::Nothing,
         "torvik-setup: 'com256' is not a COM name from COM1 to COM255", "", {}},
        {"highest COM name", {}, kSwitchState, {"--port", "COM255", "--read", "FILE"}, nullptr, false, 0,
         Sent::ConfigOnly, "Load Config finished!", "", {"[Setup]\r\nCOMPort=255\r\n"}},
        {"listing with a transfer", {}, nullptr, {"--screens", "--read", "FILE"}, nullptr, false, 2, Sent::Nothing,
         "torvik-setup: --read goes with a transfer, not with a listing", "", {}},
        {"version with a transfer", {}, nullptr, {"-v", "--port", "PORT", "--write", "FILE"}, kFile, false, 2,
         Sent::Nothing, "torvik-setup: --port goes with a transfer, not with a listing", "", {}},
        {"help for programs", {}, nullptr, {"--help", "--json"}, nullptr, false, 2, Sent::Nothing,
         "torvik-setup: --json goes with --list-ports, --screens, --write or --compare", "", {}},
        {"port twice", {}, nullptr, {"--port", "DEVICE", "--port", "PORT", "--read", "FILE"}, nullptr, false, 2,
         Sent::Nothing, "torvik-setup: give --port once", "", {}},
        {"file twice", {}, nullptr, {"--port", "PORT", "--read", "FILE", "--read", "FILE"}, nullptr, false, 2,
         Sent::Nothing, "torvik-setup: give one of --read, --write and --compare, once", "", {}},
        {"not a terminal", {}, nullptr, {"--port", "/dev/null", "--read", "FILE"}, nullptr, false, 3, Sent::Nothing,
         "COM port open error!\n/dev/null is not a serial device.", "", {}},
        {"a folder", {}, nullptr, {"--port", "/", "--read", "FILE"}, nullptr, false, 3, Sent::Nothing,
         "COM port open error!\n/ is not a serial device.", "", {}},
        // What was just read, or just written, is what the switch holds.
        {"read, then compare", {}, kAwaySwitch, compare, nullptr, false, 0, Sent::ConfigTwice,
         "The switch holds what", "", {"Port1=100 50 1920 1080", "MStyle=1 9 0", "MTotal1=7 7"}, false, false, read},
        {"write, then compare", {}, nullptr, compare, kFile, false, 0, Sent::UploadAndSave, "The switch holds what", "",
         {}, false, false, write},
        {"compare for programs", {}, kSwitchState, with(compare, {"--json"}), kFileWithChanges,
         false, 1, Sent::ConfigOnly, "The switch differs from",
         "{\n    \"differences\": [\n"
         "        {\n            \"file\": 2,\n            \"item\": \"Start\",\n            \"switch\": 3\n        },\n"
         "        {\n            \"file\": null,\n            \"item\": \"S1.1A\",\n            \"switch\": {\n"
         "                \"group\": 1,\n                \"height\": 768,\n                \"width\": 1024,\n"
         "                \"x\": 0,\n                \"y\": 1080\n            }\n        }\n    ],\n"
         "    \"warnings\": [\n    ]\n}\n",
         {}},
        // Replies it cannot take: lines ended by line feeds alone, and the
        // late prompt of a command that timed out, which arrives during the next.
        {"unreadable reply", {"--lf-only"}, kSwitchState, read, nullptr, false, 4, Sent::ConfigOnly,
         "Load Config error!\nThe switch on " + path("switch") + " answered without any of its settings lines (ConfigVer,",
         "", {}},
        {"late prompt", {"--delay-ms", "1500"}, kSwitchState, read, nullptr, false, 4, Sent::ConfigTwice,
         "Load Config error!", "", {}, false, false, read},
        {"layout keys missing", {}, nullptr, write,
         "[Setup]\nStart=2\n[Layout]\nGroup=1 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1\nPort1=0 0 1920 1080\n", false, 5,
         Sent::Nothing, ": [Layout] lacks MStyle, Port5, Port21", "", {}},
        // A file says what is sent: a value that cannot be read as its key
        // needs is refused, also by --compare; one that cannot be sent as it
        // stands is sent as the default, with a warning (under --quiet too),
        // and never compares as held.
        {"unreadable value", {}, nullptr, write,
         "[Setup]\nStart=2\n[Layout]\nGroup=1 1\nPort1=0 0 1920 1080\nPort2=4480 0 1080x1920\n", false, 5,
         Sent::Nothing, "FILE: line 6: Port2: expected 4 whole numbers of 0 or more, separated by spaces", "", {}},
        {"negative place", {}, nullptr, compare,
         "[Setup]\nStart=2\n[Layout]\nGroup=1 1\nPort1=0 0 1920 1080\nPort2=-10 0 1920 1080\n", false, 5,
         Sent::Nothing, "FILE: line 6: Port2: expected 4", "", {}},
        {"sent with warnings", {}, nullptr, with(write, {"--verify", "--json", "--quiet"}), kFileWithWarnings, false, 0,
         Sent::UploadAndSave,
         "FILE: warning: line 3: HotKey=7 is out of range; 0 is sent instead\n",
         "{\n    \"differences\": [\n    ],\n    \"warnings\": [\n"
         "        \"line 3: HotKey=7 is out of range; 0 is sent instead\",\n"
         "        \"line 8: Port21: monitor 1B is placed, but its port's style (MStyle) holds 1 monitor; it is not "
         "sent\"\n    ]\n}\n",
         {}},
        {"compare after a write with warnings", {}, nullptr, compare, kFileWithWarnings, false, 1, Sent::UploadAndSave,
         "The switch differs from", "HotKey: switch 0, file 7\n1B: switch not placed; file 1920 x 1080 at 1920, 0\n",
         {}, false, false, write},
        {"a name in Latin-1", {}, kSwitchState, {"--port", "PORT", "--read", "LATIN1"}, nullptr, false, 0,
         Sent::ConfigOnly, "Load Config finished!", "", {}, false, false, {}, 0, kLatin1Name},
        {"read-only file", {}, kSwitchState, read, "[Setup]\nStart=4\n", false, 5, Sent::ConfigOnly, "read-only", "",
         {"[Setup]\nStart=4\n"}, false, false, {}, 0444},
        {"file of the group", {}, kSwitchState, read, "[Setup]\nStart=4\n", false, 0, Sent::ConfigOnly,
         "Load Config finished!", "", {"Start=3"}, false, false, {}, 0640},
        {"no folder", {}, kSwitchState, {"--port", "PORT", "--read", "NOFOLDER"}, nullptr, false, 5, Sent::ConfigOnly,
         "No such file or directory", "", {}},
    };
    const std::string settings = path("TORVIK.INI");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(QString::fromStdString(path("commands.log")));
        QFile::remove(QString::fromStdString(path("FILE")));
        QFile::remove(QString::fromStdString(path("state")));
        std::vector<std::string> simOptions = row.simOptions;
        simOptions.insert(simOptions.end(), {"--log", path("commands.log"), "--link", path("switch"), "--state", path("state")});
        if (row.switchState)
            writeFile(path("state"), row.switchState);
        SimProcess sim(simOptions);
        ASSERT_FALSE(sim.path().empty());
        // COM23 leads to the simulator, the device DEVICE; so does COM255.
        writeFile(settings, "[Ports]\nCOM23=" + path("switch") + "\nCOM255=" + path("switch") + "\n");
        if (row.file)
            writeFile(path("FILE"), row.file);
        const auto expand = [&](const std::vector<std::string>& given) {
            std::vector<std::string> expanded{"--settings", settings};
            for (const std::string& arg : given) {
                const std::string file = row.fileOnInput ? "-" : path("FILE");
                expanded.push_back(arg == "PORT"       ? "COM23"
                                   : arg == "DEVICE"   ? path("switch")
                                   : arg == "FILE"     ? file
                                   : arg == "NOFOLDER" ? path("no-folder/FILE")
                                   : arg == "LATIN1"   ? dir.path().toStdString() + "/" + kLatin1Name
                                                       : arg);
            }
            return expanded;
        };
        if (!row.first.empty())
            run(expand(row.first), std::string(), 0);
        if (row.fileMode) {
            ASSERT_EQ(chmod(path("FILE").c_str(), static_cast<mode_t>(row.fileMode)), 0);
        }
        const std::vector<std::string> args = expand(row.args);
        int lock = -1;
        if (row.portBusy) {
            lock = open(path("switch").c_str(), O_RDWR | O_NOCTTY);
            ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
        }
        const Outcome outcome = run(args, row.fileOnInput ? path("FILE") : std::string(), row.interruptAt);
        if (lock >= 0)
            close(lock);

        EXPECT_EQ(outcome.status, row.status) << outcome.error;
        EXPECT_NE(outcome.error.find(row.errorHas), std::string::npos) << outcome.error;
        EXPECT_EQ(outcome.output, row.output);
        const std::string written = ReadFileBytes(QString::fromStdString(path("FILE")));
        for (const std::string& part : row.fileHas)
            EXPECT_NE(written.find(part), std::string::npos) << part << " in\n" << written;
        if (!row.file && outcome.status != 0) {
            EXPECT_FALSE(QFile::exists(QString::fromStdString(path("FILE"))));
        }
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("no-folder"))));
        if (row.made) {
            struct stat made {};
            EXPECT_EQ(stat((dir.path().toStdString() + "/" + row.made).c_str(), &made), 0);
            EXPECT_GT(made.st_size, 0);
            // QTemporaryDir could not remove it: Qt's name for it is another.
            unlink((dir.path().toStdString() + "/" + row.made).c_str());
        }
        struct stat info {};
        if (row.fileMode && stat(path("FILE").c_str(), &info) == 0) {
            EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(row.fileMode));
        }

        const std::vector<std::string> log = logged();
        switch (row.sent) {
        case Sent::Nothing:
            EXPECT_TRUE(log.empty());
            break;
        case Sent::ConfigOnly:
            EXPECT_EQ(log, std::vector<std::string>{"CONFIG"});
            break;
        case Sent::ConfigTwice:
            EXPECT_EQ(log, (std::vector<std::string>{"CONFIG", "CONFIG"}));
            break;
        case Sent::UploadAndSave:
            ASSERT_EQ(log.size(), 192u);
            EXPECT_EQ(log[0], "START 3");
            EXPECT_EQ(log[190], "SAVE");
            EXPECT_EQ(log[191], "CONFIG");
            break;
        case Sent::StoppedBeforeSave:
            EXPECT_GE(log.size(), 5u);
            EXPECT_LT(log.size(), 191u);
            EXPECT_EQ(std::count(log.begin(), log.end(), "SAVE"), 0);
            break;
        case Sent::FirstLineOnly:
            EXPECT_EQ(log, std::vector<std::string>{"START 3"});
            break;
        }
    }
}

// This computer's monitors: in device pixels, with the places and scales
// the window system gives (Qt's offscreen platform with three screens, two
// scaled 1.5: one by the platform, one by Qt), and without a display, or
// with one that does not answer, a one-line reason.
TEST_F(CommandLineEndToEndTest, ScreensListTheMonitorsOnlyWithADisplay)
{
    platform = "offscreen:configfile=" TORVIK_TEST_SOURCE_DIR "/gui/editor/place-monitors-screens.json";
    Outcome outcome = run({"--screens"}, "", false);
    EXPECT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(outcome.output, "DP-2\t2880 x 1620 at 1280, 0\tscale 1.5\n"
                              "DP-3\t2560 x 1440 at 4160, 0\tscale 1.5\n"
                              "HDMI-1\t1280 x 1024 at 0, 0\tscale 1\n");
    outcome = run({"--screens", "--json"}, "", false);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.output.find("\"height\": 1620,\n            \"name\": \"DP-2\",\n            \"scale\": 1.5,\n"
                                  "            \"width\": 2880,\n            \"x\": 1280,"),
              std::string::npos)
        << outcome.output;

    platform.clear();
    outcome = run({"--screens"}, "", false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.error, "torvik-setup: no display found, so the monitors cannot be read.\n");

    // A display that is named but does not answer is none, for the window
    // too.
    display = ":77";
    outcome = run({"--screens"}, "", false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "torvik-setup: no display found, so the monitors cannot be read.\n");
    outcome = run({}, "", false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "torvik-setup: no display found, so the window cannot open; "
                             "--port PORT --read/--write/--compare FILE work without one.\n");
}

}  // namespace
