#include "serial/PortNames.h"

#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PortNamesTest, MapsComNamesFromThePortsSectionAndLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TORVIK.INI"));
    const std::string bytes =
        "[Setup]\r\n"
        "COMPort=3\r\n"
        "COM4=/dev/not-this-one\r\n"
        "[ports]\r\n"
        "com3=/dev/ttyUSB0\r\n"
        "COM20 = /dev/ttyACM1\r\n"
        "Com7=\r\n"
        "COM255=/dev/last\r\n"
        "COM256=/dev/too-high\r\n";
    ASSERT_TRUE(WriteFileBytes(path, bytes));

    const PortNames names = PortNames::FromSettingsFile(path);

    EXPECT_EQ(names.devicePath("COM3"), "/dev/ttyUSB0");
    EXPECT_EQ(names.devicePath("cOm3"), "/dev/ttyUSB0");
    EXPECT_EQ(names.devicePath("COM20"), "/dev/ttyACM1");
    EXPECT_EQ(names.devicePath("COM255"), "/dev/last");
    EXPECT_EQ(names.devicePath("COM7"), "/dev/ttyS6");  // an empty value maps nothing
    EXPECT_EQ(names.devicePath("COM4"), "/dev/ttyS3");  // other sections are not read
    EXPECT_EQ(names.devicePath("COM256"), "COM256");
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST(PortNamesTest, UnmappedNamesLeadToTheStandardDevicesAndPathsStayAsTheyAre)
{
    const PortNames names = PortNames::FromSettingsFile(QStringLiteral("/nonexistent/TORVIK.INI"));
    EXPECT_EQ(names.devicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(names.devicePath("com10"), "/dev/ttyS9");
    EXPECT_EQ(names.devicePath("COM255"), "/dev/ttyS254");
    EXPECT_EQ(names.devicePath("/dev/pts/7"), "/dev/pts/7");

    PortNames mapped;
    mapped.map(2, "/dev/ttyUSB1");
    EXPECT_EQ(mapped.devicePath("COM2"), "/dev/ttyUSB1");
    EXPECT_EQ(mapped.devicePath("/COM2"), "/COM2");
}

TEST(PortNamesTest, NamesThatAreNoPortAreReturnedUnchanged)
{
    PortNames names;
    names.map(3, "/dev/ttyUSB0");
    for (const char* junk : {"", "COM", "COM0", "COM03", "COM256", "COM99999999999999999999", "COM-1", "COM+3",
                             "COM3 ", " COM3", "COM3x", "CON3", "LPT1", "ttyUSB0", "\\\\.\\COM3"})
        EXPECT_EQ(names.devicePath(junk), junk);
}

}  // namespace
