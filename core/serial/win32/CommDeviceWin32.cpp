// The serial device on Windows: a COM port opened for overlapped I/O.

#include "core/serial/CommDevice.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <utility>
#include <vector>

namespace {

int lastError()
{
    return static_cast<int>(GetLastError());
}

// The error of starting an overlapped operation: 0 when it completed at once
// or is pending.
int startError(BOOL completed)
{
    if (completed)
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_IO_PENDING ? 0 : static_cast<int>(error);
}

// Owns a kernel handle. CreateFile reports failure with INVALID_HANDLE_VALUE,
// CreateEvent with null; both are kept as null, which every call rejects
// (INVALID_HANDLE_VALUE would name the current process to a wait).
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr; }
    void reset()
    {
        if (valid())
            CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// A manual-reset event, created signalled: the completion signal of one
// overlapped operation, which the operation clears when it starts.
Handle makeCompletionEvent()
{
    return Handle(CreateEventA(nullptr, TRUE, TRUE, nullptr));
}

DCB toDcb(const CommDcb& from)
{
    const auto has = [&from](uint32_t flag) { return (from.Flags & flag) != 0; };

    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = from.BaudRate;
    dcb.fBinary = has(CommDcb::fBinary);
    dcb.fParity = has(CommDcb::fParity);
    dcb.fOutxCtsFlow = has(CommDcb::fOutxCtsFlow);
    dcb.fOutxDsrFlow = has(CommDcb::fOutxDsrFlow);
    dcb.fDtrControl = from.dtrControl();
    dcb.fDsrSensitivity = has(CommDcb::fDsrSensitivity);
    dcb.fTXContinueOnXoff = has(CommDcb::fTXContinueOnXoff);
    dcb.fOutX = has(CommDcb::fOutX);
    dcb.fInX = has(CommDcb::fInX);
    dcb.fErrorChar = has(CommDcb::fErrorChar);
    dcb.fNull = has(CommDcb::fNull);
    dcb.fRtsControl = from.rtsControl();
    dcb.fAbortOnError = has(CommDcb::fAbortOnError);
    dcb.XonLim = from.XonLim;
    dcb.XoffLim = from.XoffLim;
    dcb.ByteSize = from.ByteSize;
    dcb.Parity = from.Parity;
    dcb.StopBits = from.StopBits;
    dcb.XonChar = static_cast<char>(from.XonChar);
    dcb.XoffChar = static_cast<char>(from.XoffChar);
    dcb.ErrorChar = static_cast<char>(from.ErrorChar);
    dcb.EofChar = static_cast<char>(from.EofChar);
    dcb.EvtChar = static_cast<char>(from.EvtChar);
    return dcb;
}

class Win32CommDevice final : public CommDevice {
public:
    // The events live as long as the device object, so stopWaiting() never
    // races with their creation. If one cannot be made, open() reports why.
    Win32CommDevice()
    {
        stopEvent_ = Handle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!stopEvent_.valid()) {
            eventsCreateError_ = lastError();
            return;
        }
        waitDone_ = makeCompletionEvent();
        if (!waitDone_.valid())
            eventsCreateError_ = lastError();
    }

    ~Win32CommDevice() override { close(); }

    int open(const std::string& port) override
    {
        if (eventsCreateError_ != 0)
            return eventsCreateError_;
        // The "\\.\" prefix lets COM10 and above open as well as COM1..COM9.
        const std::string path = "\\\\.\\" + port;
        Handle device(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (!device.valid())
            return lastError();
        close();
        device_ = std::move(device);
        ResetEvent(stopEvent_.get());
        return 0;
    }

    std::string explainOpenFailure(const std::string& port, int error) const override
    {
        // Windows opens a COM port for one program at a time.
        return error == ERROR_ACCESS_DENIED ? port + " is in use by another program." : std::string();
    }

    void close() override
    {
        if (!device_.valid())
            return;
        // A wait the event thread left pending would otherwise complete into
        // this object after it is gone. Clearing the mask ends it with an
        // empty event word, the way the API documents; not every driver (nor
        // Wine) cancels a pending WaitCommEvent.
        if (waitPending_) {
            SetCommMask(device_.get(), 0);
            CancelIoEx(device_.get(), &waitOverlapped_);
            DWORD ignored = 0;
            GetOverlappedResult(device_.get(), &waitOverlapped_, &ignored, TRUE);
            waitPending_ = false;
        }
        device_.reset();
    }

    int setQueueSizes(uint32_t inputSize, uint32_t outputSize) override
    {
        return SetupComm(device_.get(), inputSize, outputSize) ? 0 : lastError();
    }

    int setState(const CommDcb& dcb) override
    {
        DCB state = toDcb(dcb);
        return SetCommState(device_.get(), &state) ? 0 : lastError();
    }

    int setTimeouts(const CommTimeouts& timeouts) override
    {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = timeouts.ReadIntervalTimeout;
        t.ReadTotalTimeoutMultiplier = timeouts.ReadTotalTimeoutMultiplier;
        t.ReadTotalTimeoutConstant = timeouts.ReadTotalTimeoutConstant;
        t.WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutMultiplier;
        t.WriteTotalTimeoutConstant = timeouts.WriteTotalTimeoutConstant;
        return SetCommTimeouts(device_.get(), &t) ? 0 : lastError();
    }

    int setEventMask(uint32_t mask) override
    {
        return SetCommMask(device_.get(), mask) ? 0 : lastError();
    }

    int waitEvents(uint32_t& events) override
    {
        events = 0;
        for (;;) {
            // The event word and the overlapped block are members: a wait
            // outlives this call when it is stopped, until the mask is
            // cleared or the device is closed. A later call waits on it again
            // instead of starting a second one.
            if (!waitPending_) {
                eventWord_ = 0;
                waitOverlapped_ = OVERLAPPED{};
                waitOverlapped_.hEvent = waitDone_.get();
                if (const int error = startError(WaitCommEvent(device_.get(), &eventWord_, &waitOverlapped_)))
                    return error;
                waitPending_ = true;
            }

            // The event thread pauses after a failure before it asks again,
            // so a removed device (whose waits fail at once, when started or
            // when completed) does not keep it spinning.
            const HANDLE signals[2] = {stopEvent_.get(), waitDone_.get()};
            const DWORD woken = WaitForMultipleObjects(2, signals, FALSE, INFINITE);
            if (woken == WAIT_OBJECT_0)
                return 0;
            if (woken != WAIT_OBJECT_0 + 1)
                return lastError();  // the device wait stays pending for the next call
            waitPending_ = false;

            DWORD ignored = 0;
            if (!GetOverlappedResult(device_.get(), &waitOverlapped_, &ignored, FALSE))
                return lastError();
            // An empty word means setEventMask() ended the wait: wait again.
            if (eventWord_ != 0) {
                events = eventWord_;
                return 0;
            }
        }
    }

    void stopWaiting() override { SetEvent(stopEvent_.get()); }

    int write(const uint8_t* data, uint32_t count, uint32_t& written) override
    {
        const std::vector<uint8_t> copy(data, data + count);
        Request request;
        if (!request.event.valid())
            return lastError();
        if (const int error =
                startError(WriteFile(device_.get(), copy.data(), count, nullptr, &request.overlapped)))
            return error;
        return finish(request, written);
    }

    int read(uint8_t* buffer, uint32_t count, uint32_t& received) override
    {
        Request request;
        if (!request.event.valid())
            return lastError();
        if (const int error =
                startError(ReadFile(device_.get(), buffer, count, nullptr, &request.overlapped)))
            return error;
        return finish(request, received);
    }

    int clearError(uint32_t& errors, uint32_t& inputQueue) override
    {
        DWORD word = 0;
        COMSTAT status{};
        if (!ClearCommError(device_.get(), &word, &status))
            return lastError();
        errors = word;
        inputQueue = status.cbInQue;
        return 0;
    }

    int modemStatus(uint32_t& status) override
    {
        DWORD lines = 0;
        if (!GetCommModemStatus(device_.get(), &lines))
            return lastError();
        status = lines;
        return 0;
    }

    int purge(uint32_t flags) override
    {
        return PurgeComm(device_.get(), flags) ? 0 : lastError();
    }

private:
    // One read or write: its overlapped block and its own completion signal.
    struct Request {
        Handle event = makeCompletionEvent();
        OVERLAPPED overlapped{};
        Request() { overlapped.hEvent = event.get(); }
    };

    // Waits until the request has completed and fetches its byte count.
    int finish(Request& request, uint32_t& transferred)
    {
        if (WaitForSingleObject(request.event.get(), INFINITE) != WAIT_OBJECT_0) {
            const int error = lastError();
            // The request and the bytes it uses are about to go: end the I/O first.
            CancelIoEx(device_.get(), &request.overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(device_.get(), &request.overlapped, &ignored, TRUE);
            return error;
        }
        DWORD count = 0;
        if (!GetOverlappedResult(device_.get(), &request.overlapped, &count, FALSE))
            return lastError();
        transferred = count;
        return 0;
    }

    Handle device_;
    Handle stopEvent_;  // manual reset; set by stopWaiting(), cleared by open()
    Handle waitDone_;   // completion signal of the event wait
    int eventsCreateError_ = 0;
    // The event thread's pending device wait (see waitEvents()).
    DWORD eventWord_ = 0;
    OVERLAPPED waitOverlapped_{};
    bool waitPending_ = false;
};

}  // namespace

std::unique_ptr<CommDevice> CreatePlatformCommDevice(const PortNames&)
{
    return std::make_unique<Win32CommDevice>();
}
