#pragma once

#include "core/platform/EventPump.h"

#include <functional>

// An event pump whose passes run what the test says: deliver bytes, tick a
// timer. Counts the passes and the time slept.
class ScriptedPump final : public EventPump {
public:
    std::function<void()> onPass;
    int passes = 0;
    int sleptMs = 0;

    void processPending() override { pass(); }
    void processOrWait() override { pass(); }
    void sleep(int milliseconds) override { sleptMs += milliseconds; }

private:
    void pass()
    {
        ++passes;
        if (onPass)
            onPass();
    }
};
