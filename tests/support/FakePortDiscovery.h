#pragma once

#include "core/serial/PortDiscovery.h"

#include <vector>

// Serial devices "present" as a test says, instead of this machine's.
struct FakePortDiscovery final : PortDiscovery {
    std::vector<SerialDevice> devices;

    std::vector<SerialDevice> presentDevices() const override { return devices; }
};
