// The command line's answers that depend on the serial devices present,
// with devices "present" as the test says.

#include "app/CommandLine.h"
#include "support/FakePortDiscovery.h"
#include "support/FileBytes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Each port for programs: an onboard port without USB ids first, then an
// adapter whose vendor and product ids differ and need hex letters, a nine
// and a leading zero, then the highest COM name, which [Ports] leads to a
// pseudo-terminal.
TEST(CommandLineTest, ListPortsForProgramsGivesTheUsbIdsAsFourHexDigits)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("TORVIK.INI"));
    ASSERT_TRUE(WriteFileBytes(settings, "[Ports]\nCOM255=/dev/pts/5\n"));
    FakePortDiscovery discovery;
    discovery.devices = {{"/dev/ttyUSB0", "USB UART", "Maker", "X1", 0x1a9f, 0x0c29, "/dev/serial/by-id/usb-Maker-port0"},
                         {"/dev/ttyS0", {}, {}, {}, {}, {}, {}}};

    const CommandLine line = ParseCommandLine(
        {QStringLiteral("torvik-setup"), QStringLiteral("--settings"), settings, QStringLiteral("--list-ports"),
         QStringLiteral("--json")},
        dir.path(), QProcessEnvironment(), discovery);

    EXPECT_EQ(line.run, CommandLine::Run::Print);
    EXPECT_EQ(line.exitCode, 0);
    // What is not known is null.
    const auto port = [](const char* name, const char* device) {
        QJsonObject known{{"name", name}, {"device", device}};
        for (const char* unknown : {"stablePath", "description", "manufacturer", "serialNumber", "vendorId", "productId"})
            known[unknown] = QJsonValue();
        return known;
    };
    QJsonObject adapter = port("COM2", "/dev/ttyUSB0");
    adapter["stablePath"] = "/dev/serial/by-id/usb-Maker-port0";
    adapter["description"] = "USB UART";
    adapter["manufacturer"] = "Maker";
    adapter["serialNumber"] = "X1";
    adapter["vendorId"] = "1a9f";
    adapter["productId"] = "0c29";
    const QJsonArray expected{port("COM1", "/dev/ttyS0"), adapter, port("COM255", "/dev/pts/5")};
    EXPECT_EQ(QJsonDocument::fromJson(line.output.toUtf8()).object().value("ports").toArray(), expected)
        << line.output.toStdString();
}

}  // namespace
