#pragma once

#include <cstdint>

// The serial port's events, and what the port's event thread knows of the
// port: where it delivers them.

// The thread on which the port's event actions run.
enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TComEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };

// A set of TComEvent: bit i is the event of ordinal i.
using TComEvents = uint16_t;
inline constexpr TComEvents ComEventBit(TComEvent event) { return static_cast<TComEvents>(1u << event); }
inline constexpr TComEvents kAllComEvents = 0x3FF;

// The port as its event thread (TComThread) sees it: the thread hands it the
// device's events one at a time, in the fixed order of delivery.
class ComEventTarget {
public:
    // Runs the action of `event` (see TCustomComPort).
    virtual void eventArrived(TComEvent event) = 0;
    // Whether the port is still open: an action may close it, and the
    // thread then hands over no more. Asked on the user-interface thread.
    virtual bool isOpen() const = 0;

protected:
    ~ComEventTarget() = default;
};
