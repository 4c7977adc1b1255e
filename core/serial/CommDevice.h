#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The serial device operations the port component needs, modelled on the
// Windows communications API so the component behaves the same everywhere.
// Every operation that can fail returns 0 on success, else the platform's
// error number (errno on POSIX systems, GetLastError() on Windows).
//
// Threads: the user-interface thread makes every call except waitEvents(),
// which the port's event thread makes, and stopWaiting(), which may be called
// from any thread. A read or write may run while the event thread waits.

// The device control block: line settings, handed over as a whole.
struct CommDcb {
    // Flag bits, as the Windows DCB numbers them.
    static constexpr uint32_t fBinary = 1u << 0;
    static constexpr uint32_t fParity = 1u << 1;
    static constexpr uint32_t fOutxCtsFlow = 1u << 2;
    static constexpr uint32_t fOutxDsrFlow = 1u << 3;
    static constexpr int fDtrControlShift = 4;  // 2 bits: 0 off, 1 on, 2 handshake
    static constexpr uint32_t fDsrSensitivity = 1u << 6;
    static constexpr uint32_t fTXContinueOnXoff = 1u << 7;
    static constexpr uint32_t fOutX = 1u << 8;
    static constexpr uint32_t fInX = 1u << 9;
    static constexpr uint32_t fErrorChar = 1u << 10;
    static constexpr uint32_t fNull = 1u << 11;
    static constexpr int fRtsControlShift = 12;  // 2 bits: 0 off, 1 on, 2 handshake, 3 toggle
    static constexpr uint32_t fAbortOnError = 1u << 14;

    uint32_t DCBlength = 0;
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 0;  // 5..8
    uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    uint8_t XonChar = 0;
    uint8_t XoffChar = 0;
    uint8_t ErrorChar = 0;
    uint8_t EofChar = 0;
    uint8_t EvtChar = 0;

    uint32_t dtrControl() const { return (Flags >> fDtrControlShift) & 3u; }
    uint32_t rtsControl() const { return (Flags >> fRtsControlShift) & 3u; }
    bool operator==(const CommDcb&) const = default;
};

// Read and write time-outs in milliseconds, as the Windows COMMTIMEOUTS.
// ReadIntervalTimeout 0xFFFFFFFF with both read totals 0 makes a read return
// at once with the bytes already received. A write of n bytes may take
// WriteTotalTimeoutMultiplier * n + WriteTotalTimeoutConstant ms (0: no limit).
struct CommTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
    bool operator==(const CommTimeouts&) const = default;
};

// Device events (the Windows EV_ codes).
namespace CommEvent {
inline constexpr uint32_t RxChar = 0x0001;    // a byte was received into the input queue
inline constexpr uint32_t RxFlag = 0x0002;    // the event character was received
inline constexpr uint32_t TxEmpty = 0x0004;   // the last byte of the output queue was sent
inline constexpr uint32_t Cts = 0x0008;       // CTS changed
inline constexpr uint32_t Dsr = 0x0010;       // DSR changed
inline constexpr uint32_t Rlsd = 0x0020;      // RLSD (carrier detect) changed
inline constexpr uint32_t Break = 0x0040;     // a break was received
inline constexpr uint32_t Err = 0x0080;       // a line error occurred
inline constexpr uint32_t Ring = 0x0100;      // a ring indicator was detected
inline constexpr uint32_t Rx80Full = 0x0400;  // the input queue is 80% full
}  // namespace CommEvent

// Line errors (the Windows CE_ bits).
namespace CommError {
inline constexpr uint32_t RxOver = 0x0001;
inline constexpr uint32_t Overrun = 0x0002;
inline constexpr uint32_t RxParity = 0x0004;
inline constexpr uint32_t Frame = 0x0008;
inline constexpr uint32_t Break = 0x0010;
inline constexpr uint32_t TxFull = 0x0100;
inline constexpr uint32_t Ioe = 0x0400;
inline constexpr uint32_t Mode = 0x8000;
}  // namespace CommError

// Modem lines (the Windows MS_ bits).
namespace CommModem {
inline constexpr uint32_t CtsOn = 0x0010;
inline constexpr uint32_t DsrOn = 0x0020;
inline constexpr uint32_t RingOn = 0x0040;
inline constexpr uint32_t RlsdOn = 0x0080;
}  // namespace CommModem

// What purge() discards or aborts (the Windows PURGE_ bits).
namespace CommPurge {
inline constexpr uint32_t TxAbort = 0x0001;
inline constexpr uint32_t RxAbort = 0x0002;
inline constexpr uint32_t TxClear = 0x0004;
inline constexpr uint32_t RxClear = 0x0008;
}  // namespace CommPurge

class PortNames;

class CommDevice {
public:
    virtual ~CommDevice() = default;

    // Opens the device named `port` exclusively: a second open of the same
    // device, from this process or another, fails. The device starts with an
    // empty event mask and its stop signal cleared.
    virtual int open(const std::string& port) = 0;
    // Closes the device; does nothing when it is closed. Only after the event
    // thread has ended.
    virtual void close() = 0;
    // Where the port names lead from the next open on, on systems whose
    // devices have no "COMn" names of their own (elsewhere it is ignored).
    virtual void setPortNames(const PortNames&) {}
    // What the user can do about open() failing on `port` with `error`, when
    // the system tells more than the error number (e.g. a device whose group
    // the user is not in); else empty.
    virtual std::string explainOpenFailure(const std::string& /*port*/, int /*error*/) const { return {}; }

    virtual int setQueueSizes(uint32_t inputSize, uint32_t outputSize) = 0;
    virtual int setState(const CommDcb& dcb) = 0;
    virtual int setTimeouts(const CommTimeouts& timeouts) = 0;
    // The events waitEvents() reports. Setting it also ends a pending wait,
    // which then reports no event and waits again.
    virtual int setEventMask(uint32_t mask) = 0;

    // Blocks, without using the processor, until events of the mask occur or
    // stopWaiting() is called: `events` holds the events that occurred, none
    // when the wait was stopped. After a failure the next wait may succeed
    // (the event thread pauses before it, so a failure may come at once).
    virtual int waitEvents(uint32_t& events) = 0;
    // Sets the stop signal: the pending and every later waitEvents() ends
    // with no events until the device is opened again. Safe from any thread.
    virtual void stopWaiting() = 0;

    // Complete when they return; the time-outs bound them.
    virtual int write(const uint8_t* data, uint32_t count, uint32_t& written) = 0;
    virtual int read(uint8_t* buffer, uint32_t count, uint32_t& read) = 0;

    // The line errors since the last call (CommError bits, which it clears)
    // and the bytes in the input queue.
    virtual int clearError(uint32_t& errors, uint32_t& inputQueue) = 0;
    // CommModem bits.
    virtual int modemStatus(uint32_t& status) = 0;
    // CommPurge bits.
    virtual int purge(uint32_t flags) = 0;
};

// The device of the platform the program runs on.
std::unique_ptr<CommDevice> CreatePlatformCommDevice(const PortNames& names);
