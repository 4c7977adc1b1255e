#pragma once

#include "core/serial/ComEvents.h"
#include "core/serial/CommDevice.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// The port's event thread: waits for device events and hands each to the
// port's actions, on the thread the port's SyncMethod names.
//
// The device is asked only for the events that have an action: an event
// whose action would merely call a handler that was not set when the port
// opened (as for the transmitter-empty event after every write of the
// device link) is neither watched nor handed over, since each costs a
// wake-up of the event thread and of the user-interface thread.
//
// Under smWindowSync and smThreadSync the events go to the notify window on
// the user-interface thread as one posted event at a time: the events that
// occur before the user-interface thread has accepted the pending ones join
// them, and are delivered with them in the fixed order. No event is lost
// and at most one hand-over is in flight. Under smWindowSync the event
// thread does not wait for the acceptance: it takes the device's next
// events at once, and the hand-over costs one wake-up of the user-interface
// thread. Under smThreadSync it waits until the actions have run. Stop()
// delivers what is pending before the thread empties the device's queues,
// so an event in flight when the port closes is still delivered.
class TComThread {
public:
    // The user-interface thread's receiver of events (the notify window).
    static std::unique_ptr<QObject> CreateNotifyWindow();

    // `notifyWindow`: from CreateNotifyWindow(), unless `syncMethod` is smNone.
    TComThread(CommDevice& device, ComEventTarget& port, TSyncMethod syncMethod, QObject* notifyWindow);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Sets the device's event mask to `events` and runs the loop.
    void Start(TComEvents events);
    // Ends the loop and returns once the thread has ended.
    void Stop();

    // Runs the actions of the events waiting to be handed over, if any. The
    // notify window calls it on the user-interface thread.
    void AcceptPending();

private:
    void Execute();
    void DeliverEvents();
    void HandOver(uint32_t codes);
    // Runs the action of each event code in `codes`, in the fixed order;
    // `whileOpen`: only while the port is open.
    void RunActions(uint32_t codes, bool whileOpen);

    CommDevice& device_;
    ComEventTarget& port_;
    const TSyncMethod syncMethod_;
    QObject* notifyWindow_;
    TComEvents occurredEvents_ = 0;
    uint32_t watched_ = 0;  // the device event codes asked for
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    uint32_t pending_ = 0;        // event codes handed over, not yet accepted
    bool actionRunning_ = false;  // accepted, and the event thread waits for the actions
    bool ended_ = false;          // the loop has ended
    bool stopping_ = false;       // Stop() runs (set by the user-interface thread)
};
