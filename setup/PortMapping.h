#pragma once

#include "serial/PortNames.h"

#include <QString>

#include <map>
#include <string>

class PortDiscovery;

// The COM names of the port list as the user finds them: section "Ports" of
// the settings file ("COM3=/dev/ttyUSB0", any path, the key in any case)
// first, then the serial devices present (see PortNames).

// The "Ports" section: COM number -> path; empty values and keys other than
// COM1..COM255 map nothing. A missing or unreadable file maps nothing.
std::map<int, std::string> ReadPortsSection(const QString& settingsPath);

// The mapping as it stands now, with the devices `discovery` finds.
PortNames CurrentPortNames(const QString& settingsPath, const PortDiscovery& discovery);

// The port list's item for COM number `comNumber`: "COMn" followed by the
// device and its description ("COM1  /dev/ttyUSB0 — FT232R USB UART") when
// the name reaches one, "COMn" alone when it reaches nothing. On Windows the
// names are the system's own and the items stay "COMn".
QString PortItemText(int comNumber, const PortNames& names);
