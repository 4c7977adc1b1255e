#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

// Bytes waiting to leave through a non-blocking descriptor, in order, each
// piece not before its own time. Paced, bytes leave no faster than a
// 115200 baud line sends them (10 bits a byte: start, 8 data, stop). With a
// tick, bytes leave only at whole multiples of it after `start`, as a USB
// serial adapter passes on what it has received when its latency timer runs
// out.
class OutputQueue {
public:
    using Clock = std::chrono::steady_clock;

    // Output beyond this is dropped, as on a line that nobody reads.
    static constexpr std::size_t kMaxQueuedBytes = 1 << 20;

    // A tick of 0 passes bytes on as soon as they are due.
    OutputQueue(bool paced, std::chrono::milliseconds tick, Clock::time_point start)
        : paced_(paced), tick_(tick), start_(start)
    {
    }

    void push(std::string bytes, Clock::time_point notBefore);
    bool empty() const { return pieces_.empty(); }

    // Writes what is due at `now`, at most `budget` bytes. False on a write
    // error other than a full descriptor; after a full descriptor blocked()
    // is true until a write goes through.
    bool writeDue(int fd, Clock::time_point now, std::size_t budget);
    bool blocked() const { return blocked_; }

    // When the next byte is due; nothing when the queue is empty.
    std::optional<Clock::time_point> nextDue() const;

private:
    struct Piece {
        std::string bytes;
        std::size_t sent = 0;
        Clock::time_point notBefore;
    };

    // When the next byte is on the line, before the adapter holds it back.
    std::optional<Clock::time_point> nextOnLine() const;
    Clock::time_point tickAtOrAfter(Clock::time_point time) const;
    Clock::time_point tickAtOrBefore(Clock::time_point time) const;

    std::deque<Piece> pieces_;
    std::size_t queuedBytes_ = 0;
    bool paced_;
    std::chrono::milliseconds tick_;
    Clock::time_point start_;
    bool blocked_ = false;
    Clock::time_point lineFree_{};  // paced: when the line has sent everything so far
};
