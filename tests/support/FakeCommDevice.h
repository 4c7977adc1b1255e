#pragma once

#include "core/serial/CommDevice.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// A serial device that records what reaches it and fails where a test says.
// Received bytes, modem lines, line errors and events are put in by the test;
// waitEvents() blocks until the test raises events or the wait is stopped.
// Any call but open() and close() while the device is closed fails the
// running test, whichever thread makes it.
class FakeCommDevice final : public CommDevice {
public:
    enum class Op { Open, SetQueueSizes, SetState, SetTimeouts, SetEventMask, Wait, Write, Read, ClearError, ModemStatus, Purge };

    // What the device has been given, in order.
    struct Record {
        std::vector<std::string> opened;
        int closes = 0;
        std::vector<CommDcb> states;
        std::vector<CommTimeouts> timeouts;
        std::vector<std::pair<uint32_t, uint32_t>> queueSizes;
        std::vector<uint32_t> eventMasks;
        std::vector<uint32_t> purges;
        std::string written;
        int waits = 0;  // waitEvents() calls
    };

    // The next calls of `op` fail with `error` (0: succeed again); a failing
    // Wait fails at once and leaves the raised events untaken.
    void failWith(Op op, int error);
    void receive(const std::string& bytes);
    void setModemStatus(uint32_t status);
    void setLineErrors(uint32_t errors);
    // Ends the pending (or next) wait with these device events.
    void raiseEvents(uint32_t events);

    Record record() const;
    // Events raised that no wait has taken yet.
    uint32_t untakenEvents() const;
    bool isOpen() const;
    std::string unread() const;

    int open(const std::string& port) override;
    void close() override;
    int setQueueSizes(uint32_t inputSize, uint32_t outputSize) override;
    int setState(const CommDcb& dcb) override;
    int setTimeouts(const CommTimeouts& timeouts) override;
    int setEventMask(uint32_t mask) override;
    int waitEvents(uint32_t& events) override;
    void stopWaiting() override;
    int write(const uint8_t* data, uint32_t count, uint32_t& written) override;
    int read(uint8_t* buffer, uint32_t count, uint32_t& read) override;
    int clearError(uint32_t& errors, uint32_t& inputQueue) override;
    int modemStatus(uint32_t& status) override;
    int purge(uint32_t flags) override;

private:
    int failure(Op op) const;
    bool closedCall(const char* call) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<Op, int> failures_;
    Record record_;
    bool open_ = false;
    bool stopped_ = false;
    uint32_t pendingEvents_ = 0;
    std::string input_;
    uint32_t modemStatus_ = 0;
    uint32_t lineErrors_ = 0;
};
