#include "sim/Simulator.h"

#include "sim/ReplyFaults.h"
#include "sim/StateFile.h"
#include "sim/StopSignal.h"
#include "sim/WireTime.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <limits>
#include <poll.h>
#include <unistd.h>

namespace {

// At most this many bytes are left unread at the slave end; the rest waits
// here. So everything sent sits in the terminal's line buffer, where
// PseudoTerminal::unreadAtSlave() counts it, and a hang-up never cuts off an
// answer the other side is still reading.
constexpr std::size_t kSlaveWindow = 2048;

// How often the unread count is looked at again while output waits for the
// other side to read, or a hang-up waits for the last answer to be read.
constexpr std::chrono::milliseconds kSlaveCheck{10};

std::mt19937 seeded(const SimOptions& options)
{
    if (options.seed)
        return std::mt19937(static_cast<std::mt19937::result_type>(*options.seed));
    std::random_device device;
    return std::mt19937(device());
}

}  // namespace

Simulator::Simulator(const SimOptions& options, SwitchState& state, PseudoTerminal& terminal, std::ostream* log)
    : options_(options),
      state_(state),
      terminal_(terminal),
      log_(log),
      output_(options.pace, std::chrono::milliseconds(options.latencyMs), Clock::now()),
      random_(seeded(options))
{
    hangUpPending_ = options_.hangUpAfter == 0;
}

Simulator::End Simulator::run()
{
    for (;;) {
        const Clock::time_point now = Clock::now();
        const std::size_t unread = terminal_.unreadAtSlave();
        if (!output_.writeDue(terminal_.master(), now, unread < kSlaveWindow ? kSlaveWindow - unread : 0))
            return End::Failed;
        if (hangUpPending_ && output_.empty() && terminal_.unreadAtSlave() == 0)
            return End::HungUp;

        pollfd fds[2] = {{StopSignal::fd(), POLLIN, 0}, {terminal_.master(), POLLIN, 0}};
        if (output_.blocked())
            fds[1].events |= POLLOUT;
        if (poll(fds, 2, pollTimeout(now)) < 0) {
            if (errno == EINTR)
                continue;
            return End::Failed;
        }
        if (fds[0].revents != 0)
            return End::Stopped;
        if (fds[1].revents & POLLIN) {
            char bytes[1024];
            const ssize_t count = read(terminal_.master(), bytes, sizeof bytes);
            if (count < 0 && errno != EAGAIN && errno != EINTR)
                return End::Failed;
            if (count > 0)
                receive(bytes, static_cast<std::size_t>(count), Clock::now());
        } else if (fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            return End::Failed;
        }
    }
}

int Simulator::pollTimeout(Clock::time_point now) const
{
    std::optional<Clock::time_point> wake;
    if (!output_.blocked())
        wake = output_.nextDue();
    // Output that is due but still here waits for room at the slave end.
    if ((wake && *wake <= now) || (hangUpPending_ && output_.empty()))
        wake = now + kSlaveCheck;
    if (!wake)
        return -1;
    // Rounded up, so the loop never wakes just before the moment; a wait
    // longer than poll() takes is made in more than one.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
    return static_cast<int>(std::min<int64_t>(wait.count(), std::numeric_limits<int>::max()));
}

// Command lines end at CR; LF is ignored, so CR LF works as well. Paced,
// the bytes read at `now` arrive one after another at line speed, from
// `now` or from when the line has carried what came before, and a command
// is answered once its CR has arrived.
void Simulator::receive(const char* bytes, std::size_t count, Clock::time_point now)
{
    const Clock::time_point start = options_.pace ? std::max(now, receiveFree_) : now;
    if (options_.pace)
        receiveFree_ = start + WireTime(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (byte == '\r') {
            answer(line_, options_.pace ? start + WireTime(i + 1) : now);
            line_.clear();
        } else if (byte != '\n' && line_.size() < kMaxLineLength) {
            line_ += byte;
        }
    }
}

void Simulator::answer(const std::string& line, Clock::time_point now)
{
    ++linesReceived_;
    if (log_)
        *log_ << line << '\n' << std::flush;
    if (hangUpPending_ || (options_.silentAfter && linesReceived_ > *options_.silentAfter))
        return;

    if (options_.echo)
        queueLine(line, now);
    CommandResult result = state_.Execute(line);
    // Only CONFIG has reply lines.
    const bool config = !result.replyLines.empty();
    if (config)
        ++configsAnswered_;
    std::chrono::milliseconds gap{0};
    if (config && (!options_.faultOn || *options_.faultOn == configsAnswered_)) {
        result.replyLines = DamagedReply(result.replyLines, options_.replyFaults);
        gap = std::chrono::milliseconds(options_.lineGapMs);
    }
    Clock::time_point due = now;
    for (const std::string& reply : result.replyLines) {
        maybeQueueNoise(due);
        queueLine(reply, due);
        due += gap;
    }
    maybeQueueNoise(due);
    std::chrono::milliseconds promptDelay{options_.delayMs};
    if (result.saved) {
        // Stored at once; only the prompt may come late.
        promptDelay += std::chrono::milliseconds(options_.saveLateMs);
        if (!options_.state.empty() &&
            !WriteStateFile(QString::fromLocal8Bit(options_.state), state_.storedConfig(), state_.storedLayout()))
            std::cerr << "torvik-sim: cannot write the state file " << options_.state << '\n';
    }
    queueLine("# ", due + promptDelay);

    if (options_.hangUpAfter && linesReceived_ >= *options_.hangUpAfter)
        hangUpPending_ = true;
}

void Simulator::queueLine(std::string text, Clock::time_point notBefore)
{
    text += options_.lfOnly ? "\n" : "\r\n";
    output_.push(std::move(text), notBefore);
}

// Now and then a line of printable junk. It never starts with "#" (that
// would be a prompt), with a space (the reader skips leading spaces) or
// with a capital letter (every reply keyword starts with one), so no reader
// takes it for a reply line.
void Simulator::maybeQueueNoise(Clock::time_point now)
{
    if (!options_.noise || std::uniform_int_distribution<int>(0, 3)(random_) != 0)
        return;
    std::uniform_int_distribution<int> printable(0x21, 0x7E);
    std::string junk;
    char first = '#';
    while (first == '#' || (first >= 'A' && first <= 'Z'))
        first = static_cast<char>(printable(random_));
    junk += first;
    const int length = std::uniform_int_distribution<int>(0, 40)(random_);
    std::uniform_int_distribution<int> anyPrintable(0x20, 0x7E);
    for (int i = 0; i < length; ++i)
        junk += static_cast<char>(anyPrintable(random_));
    queueLine(std::move(junk), now);
}
