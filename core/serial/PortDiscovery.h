#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A serial device that is present on this machine, as the system reports it.
struct SerialDevice {
    std::string path;          // "/dev/ttyUSB0"; on Windows its COM name, "COM3"
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

// The system's serial devices. On Linux, as Qt's serial port information
// finds them (udev or sysfs), less placeholders (IsPlaceholderPort), with the
// links udev keeps in /dev/serial/by-id as their stable paths. On Windows,
// the COM names the system has given to the devices present (the registry's
// SERIALCOMM map), each described as the device manager describes it
// (WindowsComPort); a COM name is stable there already.
class SystemPortDiscovery final : public PortDiscovery {
public:
    std::vector<SerialDevice> presentDevices() const override;
};

// True for a port whose driver found no UART behind it: its attribute "type"
// in `ttyClass` (/sys/class/tty) is 0, unknown. Onboard ttyS ports without a
// UART are such placeholders; kernels from 6.5 on no longer mark them in the
// way Qt checks.
bool IsPlaceholderPort(const std::string& devicePath, const std::filesystem::path& ttyClass);

// The link in `linkFolder` (/dev/serial/by-id) that leads to `devicePath`;
// of several, the first by name; empty when none does.
std::string StablePath(const std::string& devicePath, const std::filesystem::path& linkFolder);

// What is known of a device besides its path, e.g. "FT232R USB UART (FTDI,
// A50285BI, 0403:6001)"; empty when nothing is.
std::string DeviceDetails(const SerialDevice& device);

// A COM port as Windows describes it: its `friendlyName` ("USB Serial Port
// (COM3)") without the COM name at its end, its maker, and the USB ids its
// first `hardwareId` names ("USB\VID_0403&PID_6001&REV_0600",
// "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000"), when it names them.
SerialDevice WindowsComPort(const std::string& comName, const std::string& friendlyName,
                            const std::string& manufacturer, const std::string& hardwareId);
