#include "core/serial/PortDiscovery.h"

#ifndef _WIN32
#include <QSerialPortInfo>
#endif

#include <cstdio>
#include <fstream>
#include <system_error>

std::vector<SerialDevice> SystemPortDiscovery::presentDevices() const
{
    std::vector<SerialDevice> devices;
#ifdef _WIN32
    // The COM names are the system's own there, opened as they are: no
    // device needs a name given to it.
    return devices;
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation().toStdString();
        if (IsPlaceholderPort(device.path, "/sys/class/tty"))
            continue;
        device.description = info.description().toStdString();
        device.manufacturer = info.manufacturer().toStdString();
        device.serialNumber = info.serialNumber().toStdString();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        device.stablePath = StablePath(device.path, "/dev/serial/by-id");
        devices.push_back(std::move(device));
    }
    return devices;
#endif
}

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
