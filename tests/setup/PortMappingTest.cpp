#include "setup/PortMapping.h"

#include "support/FakePortDiscovery.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PortMappingTest, ThePortsSectionComesFirstAndTheListShowsWhereEachNameLeads)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TORVIK.INI"));
    const std::string bytes =
        "[Setup]\r\n"
        "COM4=/dev/not-this-one\r\n"
        "[ports]\r\n"
        "com3=/dev/ttyUSB0\r\n"
        "COM20 = /dev/pts/4\r\n"
        "Com7=\r\n"
        "COM256=/dev/too-high\r\n";
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    EXPECT_EQ(ReadPortsSection(path), (std::map<int, std::string>{{3, "/dev/ttyUSB0"}, {20, "/dev/pts/4"}}));

    FakePortDiscovery discovery;
    SerialDevice adapter{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001};
    discovery.devices = {adapter, {"/dev/ttyACM0", "", "", "", {}, {}}};
    const PortNames names = CurrentPortNames(path, discovery);

    EXPECT_EQ(PortItemText(3, names), QStringLiteral("COM3  /dev/ttyUSB0 \u2014 FT232R USB UART"));
    EXPECT_EQ(PortItemText(1, names), QStringLiteral("COM1  /dev/ttyACM0"));
    EXPECT_EQ(PortItemText(20, names), QStringLiteral("COM20  /dev/pts/4"));
    EXPECT_EQ(PortItemText(2, names), QStringLiteral("COM2"));
    EXPECT_EQ(DeviceDetails(adapter), "FT232R USB UART (FTDI, A50285BI, 0403:6001)");
    EXPECT_EQ(ReadFileBytes(path), bytes);  // reading changes nothing

    // No file: the present devices alone.
    EXPECT_EQ(CurrentPortNames(dir.filePath(QStringLiteral("none.ini")), discovery).paths(),
              (std::map<int, std::string>{{1, "/dev/ttyACM0"}, {2, "/dev/ttyUSB0"}}));
}

}  // namespace
