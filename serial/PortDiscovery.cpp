#include "serial/PortDiscovery.h"

#include <QSerialPortInfo>

#include <cstdio>

std::vector<SerialDevice> SystemPortDiscovery::presentDevices() const
{
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
