#include "serial/PortNames.h"

#include "setup/ProfileFile.h"

#include <optional>

namespace {

constexpr int kHighestComNumber = 255;

// n for "COMn" (any case, n = 1..255 written without leading zeros), else nothing.
std::optional<int> comNumber(const std::string& port)
{
    if (port.size() < 4 || port.size() > 6)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = port[i] >= 'a' && port[i] <= 'z' ? static_cast<char>(port[i] - 'a' + 'A') : port[i];
        if (c != "COM"[i])
            return std::nullopt;
    }
    if (port[3] == '0')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 3; i < port.size(); ++i) {
        if (port[i] < '0' || port[i] > '9')
            return std::nullopt;
        number = number * 10 + (port[i] - '0');
    }
    if (number > kHighestComNumber)
        return std::nullopt;
    return number;
}

}  // namespace

PortNames PortNames::FromSettingsFile(const QString& settingsPath)
{
    PortNames names;
    const ProfileFile file(settingsPath);
    for (int n = 1; n <= kHighestComNumber; ++n) {
        // An empty value leaves the name at its default.
        const std::optional<std::string> path = file.value("Ports", "COM" + std::to_string(n));
        if (path && !path->empty())
            names.map(n, *path);
    }
    return names;
}

void PortNames::map(int comNumber, const std::string& devicePath)
{
    paths_[comNumber] = devicePath;
}

std::string PortNames::devicePath(const std::string& port) const
{
    if (port.starts_with('/'))
        return port;
    const std::optional<int> number = comNumber(port);
    if (!number)
        return port;
    if (const auto found = paths_.find(*number); found != paths_.end())
        return found->second;
    return "/dev/ttyS" + std::to_string(*number - 1);
}
