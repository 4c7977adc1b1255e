#pragma once

#include "serial/ComPort.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// The port's event thread: waits for device events and hands each to the
// port's actions, on the thread the port's SyncMethod names.
//
// Under smWindowSync (and smThreadSync) the hand-over is a rendezvous per
// event: the event thread posts the event to the notify window on the
// user-interface thread and waits until that thread has accepted it (or,
// for smThreadSync, finished its action). Events therefore arrive one at a
// time and in order. Stop() keeps accepting events while it waits for the
// thread to end, so it never waits on an undelivered event, and an event in
// flight when the port closes is still delivered. An event whose action
// would do nothing (its handler was not set when the port opened, as for
// the transmitter-empty event after every write of the device link) is not
// handed over: each hand-over wakes the user-interface thread.
class TComThread {
public:
    // The user-interface thread's receiver of events (the notify window).
    static std::unique_ptr<QObject> CreateNotifyWindow();

    TComThread(TCustomComPort& owner, QObject* notifyWindow);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Sets the device's event mask from the port's Events and runs the loop.
    void Start();
    // Ends the loop and returns once the thread has ended.
    void Stop();

    // Runs the action of the event waiting to be handed over, if any. The
    // notify window calls it on the user-interface thread.
    void AcceptPending();

    TComEvents OccurredEvents() const { return occurredEvents_; }

private:
    void Execute();
    void DeliverEvents();
    void HandOver(uint32_t code);

    TCustomComPort& owner_;
    QObject* notifyWindow_;
    TComEvents occurredEvents_ = 0;
    uint32_t actionCodes_ = 0;  // the event codes with an action, as the port opened
    std::thread thread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<uint32_t> pending_;  // handed over, not yet accepted
    bool actionRunning_ = false;       // accepted, and the event thread waits for the action
    bool ended_ = false;               // the loop has ended
    bool stopping_ = false;            // Stop() runs (set by the user-interface thread)
};
