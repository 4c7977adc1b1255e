#pragma once

#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "support/FakePortDiscovery.h"

// The transfer service for window tests that start no transfer: the
// platform's serial device with no COM name mapped and no serial device
// present, on the running application's event loop, with a fresh
// configuration.
struct IdleTransfers {
    QtEventPump pump;
    ConfigRecords config;
    TransferService transfers{pump, CreatePlatformCommDevice(PortNames{}), config};
    FakePortDiscovery discovery;
};
