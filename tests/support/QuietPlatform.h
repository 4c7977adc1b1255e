#pragma once

#include "core/config/KvmConfig.h"
#include "core/link/DeviceLink.h"
#include "core/platform/EventPump.h"
#include "core/platform/Prompts.h"
#include "core/serial/ComPort.h"

#include <memory>

// A pump with nothing to dispatch and prompts that answer at once, for code
// driven without an event loop or a user (fuzzing, benchmarks).
class IdlePump final : public EventPump {
public:
    void processPending() override {}
    void processOrWait() override {}
    void sleep(int) override {}
};

class SilentPrompts final : public Prompts {
public:
    MsgAnswer messageBox(QWidget*, const QString&, const QString&, MsgButtons) override { return MsgAnswer::Ok; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    int chooseItem(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }
};

// The device link on an open port over `device`, without an event thread:
// the caller hands received bytes to link.ReceiveBytes() itself.
struct QuietLink {
    explicit QuietLink(std::unique_ptr<CommDevice> device) : port(std::move(device))
    {
        port.setEvents(0);
        port.OpenPort();
    }

    TComPort port;
    IdlePump pump;
    ConfigRecords records;
    DeviceLink link{port, records, DeviceLink::Timer{[] {}, [] {}}, pump, [](bool) {}};
};
