#pragma once

#include "core/serial/PortDiscovery.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Where the port names "COM1", "COM2", ... lead. On Windows the system names
// its devices so, and a device keeps its own name; on other systems, in this
// order:
//  1. an explicit mapping "COMn" -> any path (a pseudo-terminal too), as the
//     settings file's "Ports" section gives it;
//  2. the serial devices present that no explicit mapping names, onboard
//     UARTs (ttyS) first, then USB and ACM adapters, each by name, given to
//     the COM names that no explicit mapping uses, from COM1 up.
// A number stays with its device once its path is kept as an explicit
// mapping (see pathToKeep); while that device is away the number reaches
// nothing and the others still skip it.
// A name that reaches nothing fails to open. A name that starts with "/" is
// a device path already.
class PortNames {
public:
    // The COM names are COM1 to COM255; the port list always offers COM1 to
    // COM20, and a higher name when it leads somewhere (see listedNumbers).
    static constexpr int kHighestComNumber = 255;
    static constexpr int kComNameCount = 20;

    PortNames() = default;

    // The mapping of `explicitPaths` (COM number -> path) and `present`.
    static PortNames Assign(const std::map<int, std::string>& explicitPaths, std::vector<SerialDevice> present);

    void map(int comNumber, const std::string& devicePath);

    // The device path for a port name: its mapping, the name itself when it
    // is a path, else empty (a name that reaches nothing).
    std::string devicePath(const std::string& port) const;

    // The present device COM number `comNumber` reaches, if any (explicitly
    // mapped paths are matched to present devices too).
    const SerialDevice* device(int comNumber) const;
    // What an explicit mapping needs so that COM number `comNumber` keeps
    // leading to the device the present devices gave it: the device's stable
    // path, else its path. Empty when the number is mapped explicitly already
    // or reaches no device.
    std::string pathToKeep(int comNumber) const;
    // The COM numbers that reach a path, ascending, with their paths.
    const std::map<int, std::string>& paths() const { return paths_; }
    // The COM numbers the port list offers, ascending: 1 to kComNameCount,
    // the higher ones that reach a path, and `chosen` (when a COM number), so
    // that a choice stays in the list after its path is gone.
    std::vector<int> listedNumbers(int chosen) const;

private:
    std::map<int, std::string> paths_;
    std::map<int, SerialDevice> devices_;
    std::set<int> assigned_;  // the numbers given to present devices
};

// n for "COMn" (any case, n = 1..255 written without leading zeros), else nothing.
std::optional<int> ComNumber(const std::string& port);
