#include "support/FakeCommDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

void FakeCommDevice::failWith(Op op, int error)
{
    const std::lock_guard lock(mutex_);
    failures_[op] = error;
}

int FakeCommDevice::failure(Op op) const
{
    const auto found = failures_.find(op);
    return found == failures_.end() ? 0 : found->second;
}

// A closed device's handle is gone: using it is a fault of the caller (an
// event thread outliving close(), a read after it). The call fails as the
// POSIX device fails it. Called with the mutex held.
bool FakeCommDevice::closedCall(const char* call) const
{
    if (open_)
        return false;
    ADD_FAILURE() << "FakeCommDevice::" << call << "() called while the device is closed";
    return true;
}

void FakeCommDevice::receive(const std::string& bytes)
{
    const std::lock_guard lock(mutex_);
    input_ += bytes;
}

void FakeCommDevice::setModemStatus(uint32_t status)
{
    const std::lock_guard lock(mutex_);
    modemStatus_ = status;
}

void FakeCommDevice::setLineErrors(uint32_t errors)
{
    const std::lock_guard lock(mutex_);
    lineErrors_ = errors;
}

void FakeCommDevice::raiseEvents(uint32_t events)
{
    {
        const std::lock_guard lock(mutex_);
        pendingEvents_ |= events;
    }
    changed_.notify_all();
}

FakeCommDevice::Record FakeCommDevice::record() const
{
    const std::lock_guard lock(mutex_);
    return record_;
}

uint32_t FakeCommDevice::untakenEvents() const
{
    const std::lock_guard lock(mutex_);
    return pendingEvents_;
}

bool FakeCommDevice::isOpen() const
{
    const std::lock_guard lock(mutex_);
    return open_;
}

std::string FakeCommDevice::unread() const
{
    const std::lock_guard lock(mutex_);
    return input_;
}

int FakeCommDevice::open(const std::string& port)
{
    const std::lock_guard lock(mutex_);
    if (const int error = failure(Op::Open))
        return error;
    record_.opened.push_back(port);
    open_ = true;
    stopped_ = false;
    return 0;
}

void FakeCommDevice::close()
{
    const std::lock_guard lock(mutex_);
    ++record_.closes;
    open_ = false;
}

int FakeCommDevice::setQueueSizes(uint32_t inputSize, uint32_t outputSize)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("setQueueSizes"))
        return EBADF;
    if (const int error = failure(Op::SetQueueSizes))
        return error;
    record_.queueSizes.emplace_back(inputSize, outputSize);
    return 0;
}

int FakeCommDevice::setState(const CommDcb& dcb)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("setState"))
        return EBADF;
    if (const int error = failure(Op::SetState))
        return error;
    record_.states.push_back(dcb);
    return 0;
}

int FakeCommDevice::setTimeouts(const CommTimeouts& timeouts)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("setTimeouts"))
        return EBADF;
    if (const int error = failure(Op::SetTimeouts))
        return error;
    record_.timeouts.push_back(timeouts);
    return 0;
}

int FakeCommDevice::setEventMask(uint32_t mask)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("setEventMask"))
        return EBADF;
    if (const int error = failure(Op::SetEventMask))
        return error;
    record_.eventMasks.push_back(mask);
    return 0;
}

int FakeCommDevice::waitEvents(uint32_t& events)
{
    events = 0;
    std::unique_lock lock(mutex_);
    if (closedCall("waitEvents"))
        return 0;  // stopped, so the event thread ends
    ++record_.waits;
    if (const int error = failure(Op::Wait))
        return error;
    changed_.wait(lock, [this] { return stopped_ || pendingEvents_ != 0; });
    if (!stopped_)
        events = std::exchange(pendingEvents_, 0u);
    return 0;
}

void FakeCommDevice::stopWaiting()
{
    {
        const std::lock_guard lock(mutex_);
        closedCall("stopWaiting");
        stopped_ = true;
    }
    changed_.notify_all();
}

int FakeCommDevice::write(const uint8_t* data, uint32_t count, uint32_t& written)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("write"))
        return EBADF;
    if (const int error = failure(Op::Write))
        return error;
    record_.written.append(reinterpret_cast<const char*>(data), count);
    written = count;
    return 0;
}

int FakeCommDevice::read(uint8_t* buffer, uint32_t count, uint32_t& read)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("read"))
        return EBADF;
    if (const int error = failure(Op::Read))
        return error;
    read = std::min<uint32_t>(count, static_cast<uint32_t>(input_.size()));
    std::memcpy(buffer, input_.data(), read);
    input_.erase(0, read);
    return 0;
}

int FakeCommDevice::clearError(uint32_t& errors, uint32_t& inputQueue)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("clearError"))
        return EBADF;
    if (const int error = failure(Op::ClearError))
        return error;
    errors = std::exchange(lineErrors_, 0);
    inputQueue = static_cast<uint32_t>(input_.size());
    return 0;
}

int FakeCommDevice::modemStatus(uint32_t& status)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("modemStatus"))
        return EBADF;
    if (const int error = failure(Op::ModemStatus))
        return error;
    status = modemStatus_;
    return 0;
}

int FakeCommDevice::purge(uint32_t flags)
{
    const std::lock_guard lock(mutex_);
    if (closedCall("purge"))
        return EBADF;
    if (const int error = failure(Op::Purge))
        return error;
    record_.purges.push_back(flags);
    if (flags & CommPurge::RxClear)
        input_.clear();
    return 0;
}
