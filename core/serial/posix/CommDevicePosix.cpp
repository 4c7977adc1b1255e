#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "core/serial/posix/PosixLineSettings.h"
#include "core/serial/posix/PosixLowLatency.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

constexpr uint32_t kMaxTimeout = 0xFFFFFFFF;
constexpr uint32_t kDefaultInputSize = 1024;
// While written bytes are still going out, the output queue is looked at
// this often, to report TxEmpty once it is empty.
constexpr int kTxEmptyPollMs = 10;

// Products of large time-out values are cut to about 49 days, which no
// read or write reaches, so that the clock arithmetic cannot overflow.
Deadline after(uint64_t milliseconds)
{
    return Clock::now() + std::chrono::milliseconds(std::min<uint64_t>(milliseconds, kMaxTimeout));
}

// The poll() time-out until `deadline`: -1 without one, 0 once it has passed.
int millisecondsUntil(Deadline deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

// When a read has waited long enough, by the rules of the read time-outs:
// ReadIntervalTimeout 0xFFFFFFFF with both totals 0 returns at once with what
// has arrived; with the multiplier 0xFFFFFFFF too and a constant below that,
// the read waits up to the constant for the first byte and returns as soon
// as any has arrived. Otherwise the read ends when all bytes have arrived,
// when multiplier * count + constant ms have passed (no limit when both are
// 0), or when the interval (none when 0 or 0xFFFFFFFF) passes after a byte
// without another one.
class ReadTimer {
public:
    ReadTimer(const CommTimeouts& timeouts, uint32_t count)
    {
        const uint32_t interval = timeouts.ReadIntervalTimeout;
        const uint32_t multiplier = timeouts.ReadTotalTimeoutMultiplier;
        const uint32_t constant = timeouts.ReadTotalTimeoutConstant;
        if (interval == kMaxTimeout && multiplier == 0 && constant == 0) {
            immediate_ = true;
        } else if (interval == kMaxTimeout && multiplier == kMaxTimeout && constant != 0 && constant != kMaxTimeout) {
            firstByteEnds_ = true;
            total_ = after(constant);
        } else {
            if (multiplier != 0 || constant != 0)
                total_ = after(uint64_t{multiplier} * count + constant);
            if (interval != 0 && interval != kMaxTimeout)
                interval_ = std::chrono::milliseconds(interval);
        }
    }

    void bytesArrived() { lastByte_ = Clock::now(); }

    // How long to wait for more bytes: -1 without limit, 0 when the read is over.
    int waitMilliseconds() const
    {
        if (immediate_ || (firstByteEnds_ && lastByte_))
            return 0;
        Deadline deadline = total_;
        if (interval_ && lastByte_ && (!deadline || *lastByte_ + *interval_ < *deadline))
            deadline = *lastByte_ + *interval_;
        return millisecondsUntil(deadline);
    }

private:
    bool immediate_ = false;
    bool firstByteEnds_ = false;
    Deadline total_;
    std::optional<std::chrono::milliseconds> interval_;
    Deadline lastByte_;
};

// A terminal device with the event and queue behaviour of a Windows serial
// port. The bytes the event thread sees arriving go into an input queue of
// the size setQueueSizes() asks for; reads take from it first, then from the
// device. waitEvents() sleeps in poll() on the device and on a wake-up pipe,
// which stopWaiting(), setEventMask(), writes (for TxEmpty) and reads that
// make room in a full queue write to.
class CommDevicePosix final : public CommDevice {
public:
    explicit CommDevicePosix(const PortNames& names) : names_(names)
    {
        int ends[2];
        if (pipe(ends) != 0) {
            wakeError_ = errno;
            return;
        }
        for (const int end : ends) {
            fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
            fcntl(end, F_SETFD, FD_CLOEXEC);
        }
        wakeRead_ = ends[0];
        wakeWrite_ = ends[1];
    }

    ~CommDevicePosix() override
    {
        close();
        if (wakeRead_ >= 0) {
            ::close(wakeRead_);
            ::close(wakeWrite_);
        }
    }

    int open(const std::string& port) override;
    void close() override;
    void setPortNames(const PortNames& names) override { names_ = names; }
    std::string explainOpenFailure(const std::string& port, int error) const override;
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
    // The members below the mutex are guarded by it.
    bool queueFull() const { return queue_.size() >= queueSize_; }
    std::size_t takeFromQueue(uint8_t* buffer, std::size_t count);
    std::size_t keepBytes(uint8_t* bytes, std::size_t count) const;
    void drainDevice();
    void updateLineErrors();
    void checkTxEmpty();
    void noteHangUp();
    void wake() const;
    void clearWake() const;

    PortNames names_;  // the user-interface thread's, as open() is
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    int wakeError_ = 0;
    std::atomic<bool> stopped_ = false;

    std::mutex mutex_;
    int fd_ = -1;
    CommTimeouts timeouts_;
    std::deque<uint8_t> queue_;
    std::size_t queueSize_ = kDefaultInputSize;
    uint32_t mask_ = 0;
    uint32_t occurred_ = 0;  // events of the mask not yet reported
    uint32_t errors_ = 0;    // CommError bits since the last clearError()
    uint8_t eventChar_ = 0;
    bool discardNull_ = false;
    bool parityCheck_ = false;
    bool txPending_ = false;  // written bytes may still be in the output queue
    bool hungUp_ = false;     // the device is gone (adapter pulled, terminal hung up)
#ifdef TIOCGICOUNT
    bool lineCounters_ = false;  // the driver counts line errors
    serial_icounter_struct counters_{};
#endif
};

int CommDevicePosix::open(const std::string& port)
{
    const std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        return EBUSY;
    if (wakeError_ != 0)
        return wakeError_;
    const std::string path = names_.devicePath(port);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // A regular file or /dev/null opens too, but has no line to set.
    if (!isatty(fd)) {
        ::close(fd);
        return ENOTTY;
    }
    // The lock is what refuses a second open: TIOCEXCL does not stop root.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    ioctl(fd, TIOCEXCL);  // not every device has it; the lock suffices
#ifdef __linux__
    RequestLowLatency(fd);
#endif

    fd_ = fd;
    // A read returns at once until time-outs are set; writes have no limit.
    timeouts_ = CommTimeouts{kMaxTimeout, 0, 0, 0, 0};
    queue_.clear();
    queueSize_ = kDefaultInputSize;
    mask_ = 0;
    occurred_ = 0;
    errors_ = 0;
    eventChar_ = 0;
    discardNull_ = false;
    parityCheck_ = false;
    txPending_ = false;
    hungUp_ = false;
#ifdef TIOCGICOUNT
    lineCounters_ = ioctl(fd_, TIOCGICOUNT, &counters_) == 0;
#endif
    clearWake();
    stopped_ = false;
    return 0;
}

void CommDevicePosix::close()
{
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return;
    ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    queue_.clear();
}

// The output queue is the kernel's own; only the input queue has a size here.
int CommDevicePosix::setQueueSizes(uint32_t inputSize, uint32_t /*outputSize*/)
{
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    if (inputSize == 0)  // leaves the size as it is
        return 0;
    const bool wasFull = queueFull();
    queueSize_ = inputSize;
    if (wasFull && !queueFull())
        wake();
    return 0;
}

int CommDevicePosix::setState(const CommDcb& dcb)
{
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    if (const int error = ApplyLineSettings(fd_, dcb))
        return error;
    eventChar_ = dcb.EvtChar;
    discardNull_ = (dcb.Flags & CommDcb::fNull) != 0;
    parityCheck_ = (dcb.Flags & CommDcb::fParity) != 0;
    return 0;
}

int CommDevicePosix::setTimeouts(const CommTimeouts& timeouts)
{
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    timeouts_ = timeouts;
    return 0;
}

int CommDevicePosix::setEventMask(uint32_t mask)
{
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    mask_ = mask;
    occurred_ = 0;
    wake();
    return 0;
}

int CommDevicePosix::waitEvents(uint32_t& events)
{
    events = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopped_)
            return 0;
        checkTxEmpty();
        if (occurred_ != 0) {
            events = occurred_;
            occurred_ = 0;
            return 0;
        }
        // A full queue takes no bytes, so the device is then watched for a
        // hang-up only; a hung-up device is not watched at all.
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {-1, 0, 0}};
        const bool watchDevice = fd_ >= 0 && !hungUp_;
        if (watchDevice)
            fds[1] = {fd_, static_cast<short>(queueFull() ? 0 : POLLIN), 0};
        const int timeout = watchDevice && txPending_ ? kTxEmptyPollMs : -1;
        lock.unlock();
        const int ready = poll(fds, 2, timeout);
        const int pollError = errno;
        lock.lock();
        if (ready < 0) {
            if (pollError == EINTR)
                continue;
            return pollError;
        }
        if (fds[0].revents & POLLIN)
            clearWake();
        if (fds[1].revents & POLLIN)
            drainDevice();
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            noteHangUp();
    }
}

void CommDevicePosix::stopWaiting()
{
    stopped_ = true;
    wake();
}

int CommDevicePosix::write(const uint8_t* data, uint32_t count, uint32_t& written)
{
    written = 0;
    std::unique_lock lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    const int fd = fd_;
    const CommTimeouts timeouts = timeouts_;
    // The event thread keeps taking bytes in while a write waits for room.
    lock.unlock();

    Deadline deadline;
    if (timeouts.WriteTotalTimeoutMultiplier != 0 || timeouts.WriteTotalTimeoutConstant != 0)
        deadline = after(uint64_t{timeouts.WriteTotalTimeoutMultiplier} * count + timeouts.WriteTotalTimeoutConstant);
    int error = 0;
    while (written < count) {
        const ssize_t n = ::write(fd, data + written, count - written);
        if (n > 0) {
            written += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            error = errno;
            break;
        }
        const int timeout = millisecondsUntil(deadline);
        if (timeout == 0)
            break;  // timed out: the write completes with what went out
        pollfd device = {fd, POLLOUT, 0};
        if (poll(&device, 1, timeout) < 0 && errno != EINTR) {
            error = errno;
            break;
        }
    }

    lock.lock();
    if (error == EIO)
        noteHangUp();
    if (written > 0 && (mask_ & CommEvent::TxEmpty) && !hungUp_) {
        txPending_ = true;
        wake();
    }
    return error;
}

int CommDevicePosix::read(uint8_t* buffer, uint32_t count, uint32_t& got)
{
    got = 0;
    // Held throughout, also while waiting under read time-outs, so that the
    // bytes reach this read in the order they arrived.
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    const bool wasFull = queueFull();
    got = static_cast<uint32_t>(takeFromQueue(buffer, count));
    if (wasFull && !queueFull())
        wake();

    ReadTimer timer(timeouts_, count);
    if (got > 0)
        timer.bytesArrived();
    while (got < count) {
        if (hungUp_)
            return got > 0 ? 0 : EIO;
        const ssize_t n = ::read(fd_, buffer + got, count - got);
        if (n > 0) {
            const std::size_t kept = keepBytes(buffer + got, static_cast<std::size_t>(n));
            got += static_cast<uint32_t>(kept);
            if (kept > 0)
                timer.bytesArrived();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const int error = errno;
            if (error == EIO)
                noteHangUp();
            return got > 0 ? 0 : error;
        }
        // Nothing there: wait as the time-outs allow. A wait of 0 still
        // looks for a hang-up, which a terminal reports by reading nothing.
        pollfd device = {fd_, POLLIN, 0};
        const int ready = poll(&device, 1, timer.waitMilliseconds());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return got > 0 ? 0 : errno;
        if (device.revents & (POLLHUP | POLLERR | POLLNVAL))
            noteHangUp();
        else if (!(device.revents & POLLIN))
            break;  // the time-outs have passed
    }
    return 0;
}

int CommDevicePosix::clearError(uint32_t& errors, uint32_t& inputQueue)
{
    errors = 0;
    inputQueue = 0;
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    // A hung-up device holds no more bytes than the queue.
    int waiting = 0;
    if (!hungUp_ && ioctl(fd_, FIONREAD, &waiting) != 0) {
        if (errno != EIO)
            return errno;
        noteHangUp();
        waiting = 0;
    }
    updateLineErrors();
    errors = errors_;
    errors_ = 0;
    inputQueue = static_cast<uint32_t>(queue_.size() + static_cast<std::size_t>(std::max(waiting, 0)));
    return 0;
}

int CommDevicePosix::modemStatus(uint32_t& status)
{
    status = 0;
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) != 0) {
        // No modem lines (a pseudo-terminal): no line is on.
        return errno == ENOTTY || errno == EINVAL ? 0 : errno;
    }
    if (lines & TIOCM_CTS)
        status |= CommModem::CtsOn;
    if (lines & TIOCM_DSR)
        status |= CommModem::DsrOn;
    if (lines & TIOCM_RNG)
        status |= CommModem::RingOn;
    if (lines & TIOCM_CAR)
        status |= CommModem::RlsdOn;
    return 0;
}

int CommDevicePosix::purge(uint32_t flags)
{
    constexpr uint32_t kAll = CommPurge::TxAbort | CommPurge::RxAbort | CommPurge::TxClear | CommPurge::RxClear;
    if (flags & ~kAll)
        return EINVAL;
    const std::lock_guard lock(mutex_);
    if (fd_ < 0)
        return EBADF;
    // Reads and writes are complete when they return: there is nothing to abort.
    if (flags & CommPurge::RxClear) {
        const bool wasFull = queueFull();
        queue_.clear();
        if (wasFull)
            wake();
        if (tcflush(fd_, TCIFLUSH) != 0)
            return errno;
    }
    if ((flags & CommPurge::TxClear) && tcflush(fd_, TCOFLUSH) != 0)
        return errno;
    return 0;
}

std::size_t CommDevicePosix::takeFromQueue(uint8_t* buffer, std::size_t count)
{
    const std::size_t taken = std::min(count, queue_.size());
    std::copy_n(queue_.begin(), taken, buffer);
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken;
}

// Drops received NUL bytes when the line settings ask for it; returns the
// number of bytes kept at the front.
std::size_t CommDevicePosix::keepBytes(uint8_t* bytes, std::size_t count) const
{
    if (!discardNull_)
        return count;
    return static_cast<std::size_t>(std::remove(bytes, bytes + count, uint8_t{0}) - bytes);
}

// Moves what the device holds into the queue, as far as there is room, and
// notes the receive events: RxChar only when bytes were added, so bytes that
// stay unread are not reported again.
void CommDevicePosix::drainDevice()
{
    const std::size_t before = queue_.size();
    uint8_t chunk[512];
    while (!queueFull()) {
        const std::size_t wanted = std::min(sizeof chunk, queueSize_ - queue_.size());
        const ssize_t n = ::read(fd_, chunk, wanted);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO)
            noteHangUp();
        if (n <= 0)
            break;
        const std::size_t kept = keepBytes(chunk, static_cast<std::size_t>(n));
        if (std::memchr(chunk, eventChar_, kept))
            occurred_ |= mask_ & CommEvent::RxFlag;
        queue_.insert(queue_.end(), chunk, chunk + kept);
        if (static_cast<std::size_t>(n) < wanted)
            break;  // the device has no more
    }
    updateLineErrors();
    if (queue_.size() > before) {
        occurred_ |= mask_ & CommEvent::RxChar;
        const std::size_t eightyPercent = (queueSize_ * 4 + 4) / 5;
        if (before < eightyPercent && queue_.size() >= eightyPercent)
            occurred_ |= mask_ & CommEvent::Rx80Full;
    }
}

// Line errors from the driver's counters, where it keeps them.
void CommDevicePosix::updateLineErrors()
{
#ifdef TIOCGICOUNT
    serial_icounter_struct now{};
    if (!lineCounters_ || hungUp_ || ioctl(fd_, TIOCGICOUNT, &now) != 0)
        return;
    uint32_t found = 0;
    if (now.frame != counters_.frame)
        found |= CommError::Frame;
    if (parityCheck_ && now.parity != counters_.parity)
        found |= CommError::RxParity;
    if (now.overrun != counters_.overrun)
        found |= CommError::Overrun;
    if (now.buf_overrun != counters_.buf_overrun)
        found |= CommError::RxOver;
    if (now.brk != counters_.brk)
        found |= CommError::Break;
    counters_ = now;
    errors_ |= found;
    if (found & (CommError::Frame | CommError::RxParity | CommError::Overrun))
        occurred_ |= mask_ & CommEvent::Err;
    if (found & CommError::Break)
        occurred_ |= mask_ & CommEvent::Break;
#endif
}

void CommDevicePosix::checkTxEmpty()
{
    if (!txPending_)
        return;
    int queued = 0;
    if (hungUp_ || fd_ < 0 || !(mask_ & CommEvent::TxEmpty)) {
        txPending_ = false;
    } else if (ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
        txPending_ = false;
        occurred_ |= CommEvent::TxEmpty;
    }
}

void CommDevicePosix::noteHangUp()
{
    if (hungUp_)
        return;
    hungUp_ = true;
    errors_ |= CommError::Ioe;
    txPending_ = false;
}

void CommDevicePosix::wake() const
{
    const uint8_t byte = 1;
    // A full pipe wakes the waiter just as well, so a failed write needs nothing.
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
}

void CommDevicePosix::clearWake() const
{
    uint8_t bytes[64];
    for (;;) {
        const ssize_t n = ::read(wakeRead_, bytes, sizeof bytes);
        if (n <= 0 && !(n < 0 && errno == EINTR))
            return;
    }
}

// Who may open the device at `path` that refused the user, as its owner,
// group and mode say. Serial devices belong to a group (on Debian "dialout")
// whose members may use them; membership takes effect at the next login.
// A group is named only where the mode lets it read and write: otherwise
// joining it would not help.
std::string noPermissionHint(const std::string& path, const struct stat& info)
{
    const std::string refused = "No permission to use " + path;
    constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
    constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
    constexpr mode_t kOthersReadWrite = S_IROTH | S_IWOTH;
    if ((info.st_mode & kGroupReadWrite) == kGroupReadWrite) {
        const group* devices = getgrgid(info.st_gid);
        if (!devices)
            return refused + ".";
        const std::string name = devices->gr_name;
        return refused + ": add your user to the group \"" + name + "\" (sudo usermod -aG " + name +
               " $USER), then log in again.";
    }
    // Open to everyone, the mode is not what refused.
    if ((info.st_mode & kOthersReadWrite) == kOthersReadWrite)
        return refused + ".";
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    if (info.st_uid == 0 || (info.st_mode & kOwnerReadWrite) != kOwnerReadWrite)
        return refused + ": only root may open it (mode " + mode + ").";
    const passwd* owner = getpwuid(info.st_uid);
    const std::string name = owner ? owner->pw_name : std::to_string(info.st_uid);
    return refused + ": only its owner " + name + " may open it (mode " + mode + ").";
}

}  // namespace

std::string CommDevicePosix::explainOpenFailure(const std::string& port, int error) const
{
    const std::string path = names_.devicePath(port);
    // The lock of open() (or a driver's exclusive mode) refuses a second user.
    if (error == EWOULDBLOCK || error == EBUSY)
        return path + " is in use by another program.";
    struct stat info {};
    const bool found = ::stat(path.c_str(), &info) == 0;
    // A folder, a regular file or /dev/null is no serial device, whichever
    // error it gave (EISDIR, EACCES, ENOTTY from open()).
    if (error == ENOTTY || (found && !S_ISCHR(info.st_mode)))
        return path + " is not a serial device.";
    if (error != EACCES && error != EPERM)
        return {};
    if (!found)
        return "No permission to use " + path + ".";
    return noPermissionHint(path, info);
}

std::unique_ptr<CommDevice> CreatePlatformCommDevice(const PortNames& names)
{
    return std::make_unique<CommDevicePosix>(names);
}
