#pragma once

#include "core/serial/PortNames.h"

#include <QString>

#include <map>
#include <string>

class PortDiscovery;
class ProfileFile;

// The COM names of the port list as the user finds them: section "Ports" of
// the settings file ("COM3=/dev/ttyUSB0", any path, the key in any case)
// first, then the serial devices present (see PortNames).

// The "Ports" section: COM number -> path; empty values and keys other than
// COM1..COM255 map nothing. A missing or unreadable file maps nothing.
std::map<int, std::string> ReadPortsSection(const QString& settingsPath);

// The mapping as it stands now, with the devices `discovery` finds. On
// Windows the devices alone: it opens COM names as they are.
PortNames CurrentPortNames(const QString& settingsPath, const PortDiscovery& discovery);

// Keeps COM number `comNumber` with the device `names` gives it, as Windows
// keeps a COM number with its adapter: when the present devices gave it that
// device, `file` gets the key "COMn" in section "Ports" with the device's
// stable path (PortNames::pathToKeep). A key already there is never changed.
// Nothing on Windows, whose COM names are the system's own.
void KeepPortWithDevice(ProfileFile& file, int comNumber, const PortNames& names);

// The port list's item for COM number `comNumber`: "COMn" followed by the
// device and its description ("COM1  /dev/ttyUSB0 — FT232R USB UART") when
// the name reaches one, "COMn" alone when it reaches nothing. A name the
// system gave (Windows) is followed by what the device is and who made it
// ("COM3  USB Serial Port (FTDI)").
QString PortItemText(int comNumber, const PortNames& names);
