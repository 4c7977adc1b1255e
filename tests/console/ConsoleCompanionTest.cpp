// The command line on Windows as cmd and PowerShell run it: torvik-setup.com,
// the console program they find first, as its own process under Wine,
// against torvik-sim on COM1.

#include "support/FileBytes.h"
#include "support/WineSim.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace {

struct Finished {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

Finished companion(const QStringList& arguments, const QString& program = QStringLiteral(TORVIK_SETUP_COM))
{
    QProcess process;
    process.start(program, arguments);
    Finished run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput().toStdString();
    run.errors = process.readAllStandardError().toStdString();
    return run;
}

TEST(ConsoleCompanion, TransfersWaitAndEndWithTheirStatusAndStandardOutputCarriesTheFileAsItIs)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("TORVIK.INI"));
    const QString file = dir.filePath(QStringLiteral("switch.ini"));
    const QStringList common = {QStringLiteral("--settings"), settings, QStringLiteral("--port"), QStringLiteral("COM1")};
    WineSim sim;
    ASSERT_TRUE(sim.ready());

    const Finished read = companion(common + QStringList{QStringLiteral("--read"), file});
    EXPECT_EQ(read.exitCode, 0) << read.errors;
    const std::string written = ReadFileBytes(file);
    EXPECT_NE(written.find("[Setup]\r\n"), std::string::npos) << written;

    // The same bytes on standard output: each line end once, CR LF.
    const Finished toOutput = companion(common + QStringList{QStringLiteral("--read"), QStringLiteral("-")});
    EXPECT_EQ(toOutput.exitCode, 0) << toOutput.errors;
    EXPECT_EQ(toOutput.output, written);

    EXPECT_EQ(companion(common + QStringList{QStringLiteral("--compare"), file}).exitCode, 0);
    std::string changed = written;
    const std::size_t start = changed.find("Start=1\r\n");
    ASSERT_NE(start, std::string::npos) << changed;
    changed.replace(start, 7, "Start=4");
    ASSERT_TRUE(WriteFileBytes(file, changed));
    const Finished compared = companion(common + QStringList{QStringLiteral("--compare"), file});
    EXPECT_EQ(compared.exitCode, 1);
    EXPECT_NE(compared.output.find("Start"), std::string::npos) << compared.output;

    // A COM name with no port behind it, and a wrong option.
    const Finished missing = companion({QStringLiteral("--settings"), settings, QStringLiteral("--port"),
                                   QStringLiteral("COM9"), QStringLiteral("--read"), file});
    EXPECT_EQ(missing.exitCode, 3) << missing.errors;
    EXPECT_NE(missing.errors.find("COM9 leads to no serial device (see --list-ports).\r\n"), std::string::npos)
        << missing.errors;
    const Finished comZero = companion({QStringLiteral("--port"), QStringLiteral("COM0"), QStringLiteral("--read"), file});
    EXPECT_EQ(comZero.exitCode, 2);
    const Finished help = companion({QStringLiteral("--help")});
    EXPECT_NE(help.output.find("a COM name from COM1 to COM255"), std::string::npos) << help.output;
    for (const std::string& said : {comZero.errors, help.output})
        EXPECT_EQ(said.find("device path"), std::string::npos) << said;
    const Finished wrong = companion({QStringLiteral("--bogus")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.errors.find("unknown option '--bogus'"), std::string::npos) << wrong.errors;
}

// Wine's ports are named in its registry as Windows names its own.
TEST(ConsoleCompanion, ListsTheSystemsPorts)
{
    const Finished listed = companion({QStringLiteral("--list-ports")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_NE(listed.output.find("COM1\tCOM1\t\r\n"), std::string::npos) << listed.output;
    const Finished json = companion({QStringLiteral("--list-ports"), QStringLiteral("--json")});
    EXPECT_NE(json.output.find("\"name\": \"COM1\""), std::string::npos) << json.output;
}

// The monitors are read by the window program, which the companion runs on
// its own console and waits for (Qt's offscreen platform: one screen).
TEST(ConsoleCompanion, ScreensComeFromTheWindowProgramOnTheSameConsole)
{
    const Finished listed = companion({QStringLiteral("--screens")});
    EXPECT_EQ(listed.exitCode, 0) << listed.errors;
    EXPECT_NE(listed.output.find("800 x 800 at 0, 0\tscale 1\r\n"), std::string::npos) << listed.output;

    // A window program that crashes is said to have crashed, with its status.
    QTemporaryDir dir;
    const QString companionCopy = dir.filePath(QStringLiteral("torvik-setup.com"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORVIK_SETUP_COM), companionCopy));
    ASSERT_TRUE(QFile::copy(QStringLiteral(CRASHING_PROGRAM), dir.filePath(QStringLiteral("torvik-setup.exe"))));
    const Finished crashed = companion({QStringLiteral("--screens")}, companionCopy);
    EXPECT_EQ(crashed.exitCode, 1);
    EXPECT_NE(crashed.errors.find("torvik-setup.exe crashed (status 0xC0000005).\r\n"), std::string::npos)
        << crashed.errors;
}

}  // namespace
