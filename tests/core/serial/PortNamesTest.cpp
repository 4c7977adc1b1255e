#include "core/serial/PortNames.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <utility>

namespace {

SerialDevice present(const std::string& path, const std::string& description = {})
{
    SerialDevice device;
    device.path = path;
    device.description = description;
    return device;
}

TEST(PortNamesTest, ExplicitNamesFirstThenPresentDevicesOnboardFirstByName)
{
    const PortNames names = PortNames::Assign(
        {{2, "/dev/pts/7"}, {5, "/dev/ttyUSB1"}, {23, "/dev/pts/8"}, {255, "/dev/pts/9"}, {256, "/dev/too-high"},
         {4, ""}},
        {present("/dev/ttyUSB10"), present("/dev/ttyUSB1", "CP2102"), present("/dev/ttyACM0"),
         present("/dev/ttyUSB2"), present("/dev/ttyS1"), present("/dev/ttyS0", "16550A")});

    EXPECT_EQ(names.paths(), (std::map<int, std::string>{{1, "/dev/ttyS0"},
                                                         {2, "/dev/pts/7"},
                                                         {3, "/dev/ttyS1"},
                                                         {4, "/dev/ttyACM0"},
                                                         {5, "/dev/ttyUSB1"},
                                                         {6, "/dev/ttyUSB2"},
                                                         {7, "/dev/ttyUSB10"},
                                                         {23, "/dev/pts/8"},
                                                         {255, "/dev/pts/9"}}));
    // An explicitly named device is not given out again, and still shows what it is.
    ASSERT_NE(names.device(5), nullptr);
    EXPECT_EQ(names.device(5)->description, "CP2102");
    EXPECT_EQ(names.device(2), nullptr);
    EXPECT_EQ(names.devicePath("com6"), "/dev/ttyUSB2");
    EXPECT_EQ(names.devicePath("COM8"), "");  // reaches nothing
    EXPECT_EQ(names.devicePath("/dev/ttyS9"), "/dev/ttyS9");

    // The list: COM1 to COM20, the higher names that lead somewhere, and the chosen one.
    std::vector<int> listed(20);
    std::iota(listed.begin(), listed.end(), 1);
    listed.insert(listed.end(), {23, 255});
    EXPECT_EQ(names.listedNumbers(0), listed);
    EXPECT_EQ(names.listedNumbers(256), listed);
    listed.insert(listed.begin() + 20, 21);
    EXPECT_EQ(names.listedNumbers(21), listed);
}

TEST(PortNamesTest, NamesThatAreNoPortAreReturnedUnchanged)
{
    PortNames names;
    names.map(3, "/dev/ttyUSB0");
    EXPECT_EQ(names.devicePath("COM3"), "/dev/ttyUSB0");
    for (const char* junk : {"", "COM", "COM0", "COM03", "COM256", "COM99999999999999999999", "COM-1", "COM+3",
                             "COM3 ", " COM3", "COM3x", "CON3", "LPT1", "ttyUSB0", "\\\\.\\COM3"})
        EXPECT_EQ(names.devicePath(junk), junk);
}

// The folders sysfs and udev keep are Linux's.
#ifndef _WIN32
// What the system discovery takes from sysfs and udev's links, on a copy of
// their layout: a ttyS port without a UART is left out, and a device gets the
// first link that leads to it.
TEST(PortNamesTest, PlaceholdersAndStablePathsComeFromTheSystemsFolders)
{
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    for (const auto& [name, type] : {std::pair{"ttyS0", "4\n"}, {"ttyS1", "0\n"}, {"ttyUSB0", nullptr}}) {
        std::filesystem::create_directories(root / "class" / name);
        if (type)
            std::ofstream(root / "class" / name / "type") << type;
        std::ofstream(root / name).put('\n');
    }
    EXPECT_FALSE(IsPlaceholderPort((root / "ttyS0").string(), root / "class"));
    EXPECT_TRUE(IsPlaceholderPort((root / "ttyS1").string(), root / "class"));
    EXPECT_FALSE(IsPlaceholderPort((root / "ttyUSB0").string(), root / "class"));

    const std::filesystem::path byId = root / "by-id";
    std::filesystem::create_directories(byId);
    std::filesystem::create_symlink("../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_B2-if00-port0");
    std::filesystem::create_symlink("../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A5-if00-port0");
    std::filesystem::create_symlink("../gone", byId / "usb-Gone-if00-port0");
    EXPECT_EQ(StablePath((root / "ttyUSB0").string(), byId), (byId / "usb-FTDI_FT232R_USB_UART_A5-if00-port0").string());
    EXPECT_EQ(StablePath((root / "ttyS0").string(), byId), "");
    EXPECT_EQ(StablePath((root / "ttyS0").string(), root / "no-such-folder"), "");
}
#endif

}  // namespace
