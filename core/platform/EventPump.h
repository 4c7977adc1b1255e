#pragma once

// What the waiting loops of the device link need from the event loop:
// dispatching the events that are pending, and sleeping.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Dispatches the pending events and returns.
    virtual void processPending() = 0;
    // Dispatches the pending events; when there are none, first waits,
    // without using the processor, until one arrives.
    virtual void processOrWait() = 0;
    virtual void sleep(int milliseconds) = 0;
};

// The event pump of the running Qt application.
class QtEventPump final : public EventPump {
public:
    void processPending() override;
    void processOrWait() override;
    void sleep(int milliseconds) override;
};
