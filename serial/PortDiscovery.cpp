#include "serial/PortDiscovery.h"

#include <QSerialPortInfo>

#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

// The links in `folder`, by the device each leads to; of several links to one
// device, the first by name.
std::map<std::filesystem::path, std::string> LinksByTarget(const std::filesystem::path& folder)
{
    std::map<std::filesystem::path, std::string> links;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path target = std::filesystem::canonical(entry.path(), error);
        if (error)
            continue;
        const auto [found, added] = links.emplace(target, entry.path().string());
        if (!added && entry.path().string() < found->second)
            found->second = entry.path().string();
    }
    return links;
}

}  // namespace

std::vector<SerialDevice> SystemPortDiscovery::presentDevices() const
{
    const std::map<std::filesystem::path, std::string> stable = LinksByTarget("/dev/serial/by-id");
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.path = info.systemLocation().toStdString();
        device.description = info.description().toStdString();
        device.manufacturer = info.manufacturer().toStdString();
        device.serialNumber = info.serialNumber().toStdString();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        std::error_code error;
        if (const auto link = stable.find(std::filesystem::canonical(device.path, error)); !error && link != stable.end())
            device.stablePath = link->second;
        devices.push_back(std::move(device));
    }
    return devices;
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
