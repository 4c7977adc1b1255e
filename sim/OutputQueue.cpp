#include "sim/OutputQueue.h"

#include "sim/WireTime.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

void OutputQueue::push(std::string bytes, Clock::time_point notBefore)
{
    if (bytes.empty() || queuedBytes_ + bytes.size() > kMaxQueuedBytes)
        return;
    queuedBytes_ += bytes.size();
    pieces_.push_back({std::move(bytes), 0, notBefore});
}

std::optional<OutputQueue::Clock::time_point> OutputQueue::nextOnLine() const
{
    if (pieces_.empty())
        return std::nullopt;
    const Clock::time_point due = pieces_.front().notBefore;
    return paced_ ? std::max(due, lineFree_) : due;
}

std::optional<OutputQueue::Clock::time_point> OutputQueue::nextDue() const
{
    const std::optional<Clock::time_point> onLine = nextOnLine();
    if (!onLine)
        return std::nullopt;
    return tickAtOrAfter(*onLine);
}

OutputQueue::Clock::time_point OutputQueue::tickAtOrAfter(Clock::time_point time) const
{
    if (tick_.count() == 0 || time <= start_)
        return time;
    return start_ + (time - start_ + tick_ - Clock::duration(1)) / tick_ * tick_;
}

OutputQueue::Clock::time_point OutputQueue::tickAtOrBefore(Clock::time_point time) const
{
    if (tick_.count() == 0 || time <= start_)
        return time;
    return start_ + (time - start_) / tick_ * tick_;
}

bool OutputQueue::writeDue(int fd, Clock::time_point now, std::size_t budget)
{
    // What the adapter has passed on by its last tick.
    const Clock::time_point passedOn = tickAtOrBefore(now);
    while (!pieces_.empty() && budget > 0) {
        Piece& piece = pieces_.front();
        const Clock::time_point start = *nextOnLine();
        if (start > passedOn)
            return true;
        std::size_t count = std::min(budget, piece.bytes.size() - piece.sent);
        if (paced_) {
            // The byte at `start` and every whole byte time after it.
            count = std::min(count, 1 + WireBytesIn(passedOn - start));
        }
        const ssize_t written = write(fd, piece.bytes.data() + piece.sent, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            blocked_ = errno == EAGAIN || errno == EWOULDBLOCK;
            return blocked_;
        }
        blocked_ = false;
        const auto done = static_cast<std::size_t>(written);
        if (paced_)
            lineFree_ = start + WireTime(done);
        piece.sent += done;
        queuedBytes_ -= done;
        budget -= done;
        if (piece.sent == piece.bytes.size())
            pieces_.pop_front();
        if (done < count) {
            // The descriptor took only part: wait until it is writable.
            blocked_ = true;
            return true;
        }
    }
    return true;
}
