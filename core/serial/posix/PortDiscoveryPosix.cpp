#include "core/serial/PortDiscovery.h"

#include <QSerialPortInfo>

std::vector<SerialDevice> SystemPortDiscovery::presentDevices() const
{
    std::vector<SerialDevice> devices;
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
}
