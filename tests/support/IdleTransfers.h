#pragma once

#include "platform/EventPump.h"
#include "serial/CommDevice.h"
#include "serial/PortNames.h"
#include "setup/TransferService.h"
#include "support/FakePortDiscovery.h"

// The transfer service for window tests that start no transfer: the
// platform's serial device with no COM name mapped and no serial device
// present, on the running application's event loop.
struct IdleTransfers {
    QtEventPump pump;
    TransferService transfers{pump, CreatePlatformCommDevice(PortNames{})};
    FakePortDiscovery discovery;
};
