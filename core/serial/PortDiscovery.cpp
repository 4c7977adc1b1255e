#include "core/serial/PortDiscovery.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>

bool IsPlaceholderPort(const std::string& devicePath, const std::filesystem::path& ttyClass)
{
    std::ifstream type(ttyClass / std::filesystem::path(devicePath).filename() / "type");
    int uart = -1;
    return type >> uart && uart == 0;
}

std::string StablePath(const std::string& devicePath, const std::filesystem::path& linkFolder)
{
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(devicePath, error);
    if (error)
        return {};
    std::string first;
    for (std::filesystem::directory_iterator link(linkFolder, error), end; !error && link != end; link.increment(error)) {
        std::error_code unresolved;
        const std::string path = link->path().string();
        if (std::filesystem::canonical(path, unresolved) == device && !unresolved && (first.empty() || path < first))
            first = path;
    }
    return first;
}

std::string DeviceDetails(const SerialDevice& device)
{
    std::string details;
    auto add = [&details](const std::string& part) {
        if (part.empty())
            return;
        if (!details.empty())
            details += ", ";
        details += part;
    };
    add(device.manufacturer);
    add(device.serialNumber);
    if (device.vendorId && device.productId) {
        char ids[10];
        std::snprintf(ids, sizeof ids, "%04x:%04x", *device.vendorId, *device.productId);
        add(ids);
    }
    if (details.empty())
        return device.description;
    return device.description.empty() ? details : device.description + " (" + details + ")";
}

namespace {

// The four hex digits after `key` ("VID_") in `id`, in any case.
std::optional<uint16_t> hexAfter(const std::string& id, std::string_view key)
{
    std::string upper = id;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t at = upper.find(key);
    if (at == std::string::npos || at + key.size() + 4 > upper.size())
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at + key.size(); i < at + key.size() + 4; ++i) {
        const char c = upper[i];
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

SerialDevice WindowsComPort(const std::string& comName, const std::string& friendlyName,
                            const std::string& manufacturer, const std::string& hardwareId)
{
    SerialDevice device;
    device.path = comName;
    device.description = friendlyName;
    const std::string suffix = " (" + comName + ")";
    if (device.description.ends_with(suffix))
        device.description.resize(device.description.size() - suffix.size());
    device.manufacturer = manufacturer;
    device.vendorId = hexAfter(hardwareId, "VID_");
    device.productId = hexAfter(hardwareId, "PID_");
    if (!device.vendorId || !device.productId)
        device.vendorId = device.productId = std::nullopt;
    return device;
}
