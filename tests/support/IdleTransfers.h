#pragma once

#include "platform/EventPump.h"
#include "serial/CommDevice.h"
#include "serial/PortNames.h"
#include "setup/KvmConfig.h"
#include "setup/TransferService.h"
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
