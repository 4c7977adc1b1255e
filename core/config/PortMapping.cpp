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
    return PortNames::Assign(ReadPortsSection(settingsPath), discovery.presentDevices());
}

void KeepPortWithDevice(ProfileFile& file, int comNumber, const PortNames& names)
{
#ifndef Q_OS_WIN
    const std::string key = "COM" + std::to_string(comNumber);
    const std::string path = names.pathToKeep(comNumber);
    if (!path.empty() && !file.value(kPortsSection, key))
        file.writeString(kPortsSection, key, path);
#else
    Q_UNUSED(file);
    Q_UNUSED(comNumber);
    Q_UNUSED(names);
#endif
}

QString PortItemText(int comNumber, const PortNames& names)
{
    QString text = QStringLiteral("COM%1").arg(comNumber);
#ifndef Q_OS_WIN
    const auto path = names.paths().find(comNumber);
    if (path == names.paths().end())
        return text;
    text += QStringLiteral("  ") + QString::fromStdString(path->second);
    if (const SerialDevice* device = names.device(comNumber); device && !device->description.empty())
        text += QStringLiteral(" \u2014 ") + QString::fromStdString(device->description);
#else
    Q_UNUSED(names);
#endif
    return text;
}
