// The helper that points a COM port name at a device in the settings file.
#include "SimProcess.h"

#include "support/FileBytes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MapPortTest : public testing::Test {
protected:
    std::optional<int> mapPort(const std::string& name, const std::string& device) const
    {
        return RunProgram({TORVIK_MAP_PORT, ini.toStdString(), name, device});
    }
    QTemporaryDir dir;
    QString ini = dir.filePath(QStringLiteral("TORVIK.INI"));
};

TEST_F(MapPortTest, SetsOnlyThatKeyOfSectionPorts)
{
    EXPECT_EQ(mapPort("com255", "/dev/pts/7"), 0);
    EXPECT_EQ(ReadFileBytes(ini), "[Ports]\r\nCOM255=/dev/pts/7\r\n");

    ASSERT_TRUE(WriteFileBytes(ini, "; mine\r\n[Setup]\r\nCOMPort=1\r\n\r\n[ports]\r\ncom3=/dev/ttyS9\r\n\r\n[Layout]\r\n"));
    EXPECT_EQ(mapPort("COM1", "/tmp/torvik sim.tty"), 0);
    EXPECT_EQ(mapPort("Com3", "/dev/ttyUSB0"), 0);
    EXPECT_EQ(ReadFileBytes(ini), "; mine\r\n[Setup]\r\nCOMPort=1\r\n\r\n[ports]\r\ncom3=/dev/ttyUSB0\r\n"
                                  "COM1=/tmp/torvik sim.tty\r\n\r\n[Layout]\r\n");
}

// The folders a new settings file needs are made, two levels of them. Where
// no file can be (a folder stands in its place), the reason is told.
TEST_F(MapPortTest, MakesTheFoldersItNeedsAndSaysWhyItCannotWrite)
{
    ini = dir.filePath(QStringLiteral("config/torvik-setup/TORVIK.INI"));
    EXPECT_EQ(mapPort("COM2", "/dev/ttyUSB1"), 0);
    EXPECT_EQ(ReadFileBytes(ini), "[Ports]\r\nCOM2=/dev/ttyUSB1\r\n");

    QProcess helper;
    helper.start(QStringLiteral(TORVIK_MAP_PORT), {dir.path(), QStringLiteral("COM2"), QStringLiteral("/dev/ttyUSB1")});
    ASSERT_TRUE(helper.waitForFinished());
    EXPECT_EQ(helper.exitCode(), 1);
    EXPECT_EQ(helper.readAllStandardError().toStdString(),
              "torvik-map-port: cannot write " + dir.path().toStdString() + ": not a regular file\n");
}

TEST_F(MapPortTest, RefusesBadArgumentsAndLeavesTheFileAlone)
{
    ASSERT_TRUE(WriteFileBytes(ini, "[Ports]\nCOM1=/dev/ttyS0\n"));
    for (const char* name : {"COM0", "COM256", "COM01", "COM", "COM1x", "LPT1"})
        EXPECT_EQ(mapPort(name, "/dev/ttyUSB0"), 2) << name;
    EXPECT_EQ(mapPort("COM1", ""), 2);
    EXPECT_EQ(mapPort("COM1", "/dev/tty\nCOM2=/x"), 2);
    EXPECT_EQ(RunProgram({TORVIK_MAP_PORT, ini.toStdString(), "COM1"}), 2);
    EXPECT_EQ(ReadFileBytes(ini), "[Ports]\nCOM1=/dev/ttyS0\n");
}

}  // namespace
