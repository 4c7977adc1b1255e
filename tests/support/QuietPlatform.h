#pragma once

#include "platform/EventPump.h"
#include "platform/Prompts.h"

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
};
