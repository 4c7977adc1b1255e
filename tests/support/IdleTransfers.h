#pragma once

#include "platform/EventPump.h"
#include "serial/CommDevice.h"
#include "serial/PortNames.h"
#include "setup/TransferService.h"

// The transfer service for window tests that start no transfer: the
// platform's serial device with no COM name mapped, on the running
// application's event loop.
struct IdleTransfers {
    QtEventPump pump;
    TransferService transfers{pump, CreatePlatformCommDevice(PortNames{})};
};
