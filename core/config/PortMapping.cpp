#include "core/config/PortMapping.h"

#include "core/config/ProfileFile.h"
#include "core/serial/PortDiscovery.h"

#include <optional>

namespace {

constexpr std::string_view kPortsSection = "Ports";

}  // namespace

std::map<int, std::string> ReadPortsSection(const QString& settingsPath)
{
    std::map<int, std::string> paths;
    const ProfileFile file(settingsPath);
    for (int n = 1; n <= PortNames::kHighestComNumber; ++n) {
        const std::optional<std::string> path = file.value(kPortsSection, "COM" + std::to_string(n));
        if (path && !path->empty())
            paths.emplace(n, *path);
    }
    return paths;
}

PortNames CurrentPortNames(const QString& settingsPath, const PortDiscovery& discovery)
{
#ifdef _WIN32
    // Windows opens a COM name as it is: a "Ports" key, as a settings file
    // carried over from another system may hold, leads nowhere here.
    (void)settingsPath;
    return PortNames::Assign({}, discovery.presentDevices());
#else
    return PortNames::Assign(ReadPortsSection(settingsPath), discovery.presentDevices());
#endif
}

void KeepPortWithDevice(ProfileFile& file, int comNumber, const PortNames& names)
{
    const std::string key = "COM" + std::to_string(comNumber);
    const std::string path = names.pathToKeep(comNumber);
    if (!path.empty() && !file.value(kPortsSection, key))
        file.writeString(kPortsSection, key, path);
}

QString PortItemText(int comNumber, const PortNames& names)
{
    QString text = QStringLiteral("COM%1").arg(comNumber);
    const auto path = names.paths().find(comNumber);
    if (path == names.paths().end())
        return text;
    const SerialDevice* device = names.device(comNumber);
    if (ComNumber(path->second) == comNumber) {
        // A name the system gave (Windows): what the device is, as its device
        // manager shows it, "COM3  USB Serial Port (FTDI)".
        if (!device || device->description.empty())
            return text;
        text += QStringLiteral("  ") + QString::fromStdString(device->description);
        if (!device->manufacturer.empty())
            text += QStringLiteral(" (%1)").arg(QString::fromStdString(device->manufacturer));
        return text;
    }
    text += QStringLiteral("  ") + QString::fromStdString(path->second);
    if (device && !device->description.empty())
        text += QStringLiteral(" \u2014 ") + QString::fromStdString(device->description);
    return text;
}
