#include "core/config/PortMapping.h"

#include "core/config/ProfileFile.h"
#include "support/FakePortDiscovery.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Windows has no "Ports" section: it opens COM names as they are.
#ifndef _WIN32
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
        "COM255=/dev/pts/5\r\n"
        "COM256=/dev/too-high\r\n";
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    EXPECT_EQ(ReadPortsSection(path), (std::map<int, std::string>{{3, "/dev/ttyUSB0"}, {20, "/dev/pts/4"}, {255, "/dev/pts/5"}}));

    FakePortDiscovery discovery;
    SerialDevice adapter{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001, {}};
    discovery.devices = {adapter, {"/dev/ttyACM0", "", "", "", {}, {}, {}}};
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

#else
// A settings file carried over from another system: its "Ports" keys lead
// nowhere, and the devices keep the names Windows gave them.
TEST(PortMappingTest, APortsSectionLeadsNowhereOnWindows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TORVIK.INI"));
    ASSERT_TRUE(WriteFileBytes(path, "[Ports]\r\nCOM3=/dev/ttyUSB0\r\nCOM4=/dev/pts/4\r\n"));
    FakePortDiscovery discovery;
    discovery.devices = {WindowsComPort("COM4", "USB Serial Port (COM4)", "FTDI", "")};
    EXPECT_EQ(CurrentPortNames(path, discovery).paths(), (std::map<int, std::string>{{4, "COM4"}}));
}
#endif

// Device files and the stable links udev keeps are Linux's as well.
#ifndef _WIN32
// Adapters come and go the way USB adapters do: each save keeps the chosen
// COM name with the adapter it reached, by its stable link where it has one.
TEST(PortMappingTest, AKeptComNumberFollowsItsAdapterAndTheOthersSkipIt)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("TORVIK.INI"));
    ASSERT_TRUE(WriteFileBytes(settings, "[Ports]\r\ncom3=\r\n"));
    const auto device = [&](const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(WriteFileBytes(path, ""));
        return path.toStdString();
    };
    const auto stableLink = [&](const std::string& target) {
        const QString link = dir.filePath(QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        QFile::remove(link);
        EXPECT_TRUE(QFile::link(QString::fromStdString(target), link));
        return link.toStdString();
    };
    FakePortDiscovery discovery;
    const auto save = [&](int comNumber) {
        ProfileFile file(settings);
        KeepPortWithDevice(file, comNumber, CurrentPortNames(settings, discovery));
        EXPECT_TRUE(file.save().ok());
        return ReadPortsSection(settings);
    };
    const auto reached = [&] {
        std::map<int, std::string> devices;
        const PortNames names = CurrentPortNames(settings, discovery);
        for (const auto& [number, path] : names.paths())
            devices[number] = names.device(number) ? names.device(number)->path : "-";
        return devices;
    };

    const std::string usb0 = device("ttyUSB0");
    const std::string ftdi = stableLink(usb0);
    discovery.devices = {{usb0, "FT232R USB UART", {}, {}, {}, {}, ftdi}};
    EXPECT_EQ(save(1), (std::map<int, std::string>{{1, ftdi}}));

    // A board without a stable link is plugged in and sorts first; it gets
    // COM2 and, chosen and saved, keeps it by its device path. Saving COM1
    // again changes nothing.
    const std::string acm0 = device("ttyACM0");
    discovery.devices.push_back({acm0, {}, {}, {}, {}, {}, {}});
    EXPECT_EQ(reached(), (std::map<int, std::string>{{1, usb0}, {2, acm0}}));
    EXPECT_EQ(save(2), (std::map<int, std::string>{{1, ftdi}, {2, acm0}}));
    EXPECT_EQ(save(1), (std::map<int, std::string>{{1, ftdi}, {2, acm0}}));

    // Plugged in again in another order, the adapter is ttyUSB1 and a third
    // one takes ttyUSB0: the kept names follow, the new one gets COM3.
    const std::string usb1 = device("ttyUSB1");
    stableLink(usb1);
    discovery.devices = {{usb0, {}, {}, {}, {}, {}, {}}, {usb1, {}, {}, {}, {}, {}, ftdi}, {acm0, {}, {}, {}, {}, {}, {}}};
    EXPECT_EQ(reached(), (std::map<int, std::string>{{1, usb1}, {2, acm0}, {3, usb0}}));

    // Unplugged, the adapter leaves COM1 leading nowhere: the others keep
    // their numbers, and a save of COM1 keeps the key as it is.
    QFile::remove(QString::fromStdString(ftdi));
    discovery.devices.erase(discovery.devices.begin() + 1);
    EXPECT_EQ(reached(), (std::map<int, std::string>{{1, "-"}, {2, acm0}, {3, usb0}}));
    EXPECT_EQ(CurrentPortNames(settings, discovery).devicePath("COM1"), ftdi);
    EXPECT_EQ(save(1), (std::map<int, std::string>{{1, ftdi}, {2, acm0}}));

    // Back, it is COM1 again. The key "com3" stays as it was, empty, though
    // the assignment gives COM3 to a device.
    stableLink(usb1);
    discovery.devices.insert(discovery.devices.begin() + 1, {usb1, {}, {}, {}, {}, {}, ftdi});
    EXPECT_EQ(reached(), (std::map<int, std::string>{{1, usb1}, {2, acm0}, {3, usb0}}));
    EXPECT_EQ(save(3), (std::map<int, std::string>{{1, ftdi}, {2, acm0}}));
}
#endif

// Windows names its devices itself: each keeps its name, ahead of a [Ports]
// key for the same number, is never kept in the file, and shows what it is.
TEST(PortMappingTest, DevicesTheSystemNamedKeepTheirNamesAndSayWhatTheyAre)
{
    const SerialDevice adapter =
        WindowsComPort("COM3", "USB Serial Port (COM3)", "FTDI", "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000");
    const SerialDevice onboard = WindowsComPort("COM1", "Communications Port (COM1)", "", "ACPI\\PNP0501");
    const SerialDevice arduino = WindowsComPort("COM12", "Arduino (COM1) Uno (COM12)", "", "usb\\vid_2341&pid_0043&rev_0001");
    const SerialDevice bare = WindowsComPort("COM200", "", "", "");  // Wine: a name and nothing more
    const SerialDevice half = WindowsComPort("COM5", "Modem (COM6)", "", "USB\\VID_0403&PID_60");

    EXPECT_EQ(DeviceDetails(adapter), "USB Serial Port (FTDI, 0403:6001)");
    EXPECT_EQ(onboard.description, "Communications Port");
    EXPECT_FALSE(onboard.vendorId);
    EXPECT_EQ(DeviceDetails(arduino), "Arduino (COM1) Uno (2341:0043)");
    EXPECT_EQ(half.description, "Modem (COM6)");
    EXPECT_FALSE(half.vendorId);  // no product id, so no ids

    const PortNames names =
        PortNames::Assign({{3, "/dev/elsewhere"}, {4, "/dev/pts/4"}}, {adapter, bare, arduino, onboard});
    EXPECT_EQ(names.paths(), (std::map<int, std::string>{
                                 {1, "COM1"}, {3, "COM3"}, {4, "/dev/pts/4"}, {12, "COM12"}, {200, "COM200"}}));
    EXPECT_EQ(PortItemText(3, names), QStringLiteral("COM3  USB Serial Port (FTDI)"));
    EXPECT_EQ(PortItemText(1, names), QStringLiteral("COM1  Communications Port"));
    EXPECT_EQ(PortItemText(200, names), QStringLiteral("COM200"));
    EXPECT_EQ(PortItemText(2, names), QStringLiteral("COM2"));
    EXPECT_EQ(names.pathToKeep(3), "");
    EXPECT_EQ(names.devicePath("com12"), "COM12");
}

}  // namespace
