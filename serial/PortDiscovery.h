#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A serial device that is present on this machine, as the system reports it.
struct SerialDevice {
    std::string path;          // "/dev/ttyUSB0"
    std::string description;   // the system's name for it, e.g. "FT232R USB UART"; may be empty
    std::string manufacturer;  // USB devices only; may be empty
    std::string serialNumber;
    std::optional<uint16_t> vendorId;
    std::optional<uint16_t> productId;
    // A name for it that stays when it is unplugged or others come and go
    // ("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    // empty when the system gives none.
    std::string stablePath;

    bool operator==(const SerialDevice&) const = default;
};

// Finds the serial devices that are really present: onboard UARTs, USB and
// ACM adapters. Placeholders without a UART behind them are left out.
class PortDiscovery {
public:
    virtual ~PortDiscovery() = default;
    virtual std::vector<SerialDevice> presentDevices() const = 0;
};

// The system's serial devices, as Qt's serial port information finds them
// (udev or sysfs on Linux), with the links udev keeps in /dev/serial/by-id
// as their stable paths.
class SystemPortDiscovery final : public PortDiscovery {
public:
    std::vector<SerialDevice> presentDevices() const override;
};

// What is known of a device besides its path, e.g. "FT232R USB UART (FTDI,
// A50285BI, 0403:6001)"; empty when nothing is.
std::string DeviceDetails(const SerialDevice& device);
