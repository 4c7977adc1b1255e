#pragma once

#include <QString>

#include <map>
#include <string>

// Where the port names "COM1" to "COM20" lead on systems without such names:
// section "Ports" of the settings file may map a name to a device path, e.g.
// "COM3=/dev/ttyUSB0" (the key in any case); an unmapped "COMn" is
// /dev/ttyS<n-1>. A name that starts with "/" is a device path already.
class PortNames {
public:
    PortNames() = default;

    // Reads section "Ports" of the settings file; a missing or unreadable
    // file maps nothing.
    static PortNames FromSettingsFile(const QString& settingsPath);

    void map(int comNumber, const std::string& devicePath);

    // The device path for a port name. A name that is neither "COMn"
    // (n = 1..255, any case) nor a path is returned as it is, so opening it fails.
    std::string devicePath(const std::string& port) const;

private:
    std::map<int, std::string> paths_;
};
