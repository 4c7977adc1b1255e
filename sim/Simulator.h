#pragma once

#include "sim/OutputQueue.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimOptions.h"
#include "sim/SwitchState.h"

#include <cstdint>
#include <iosfwd>
#include <random>
#include <string>

// The switch's side of the serial line: collects command lines from the
// pseudo-terminal, answers each with its reply lines and a prompt, and
// applies the fault options on the way.
class Simulator {
public:
    enum class End {
        Stopped,  // a stop signal arrived
        HungUp,   // --hangup-after: the answers were read, the line is to be closed
        Failed,   // the pseudo-terminal failed
    };

    Simulator(const SimOptions& options, SwitchState& state, PseudoTerminal& terminal, std::ostream* log);

    // Runs until one of the ends above.
    End run();

private:
    using Clock = OutputQueue::Clock;

    // Characters of a command line beyond this many are dropped.
    static constexpr std::size_t kMaxLineLength = 1023;

    void receive(const char* bytes, std::size_t count, Clock::time_point now);
    void answer(const std::string& line, Clock::time_point now);
    void queueLine(std::string text, Clock::time_point notBefore);
    void maybeQueueNoise(Clock::time_point now);
    int pollTimeout(Clock::time_point now) const;

    const SimOptions& options_;
    SwitchState& state_;
    PseudoTerminal& terminal_;
    std::ostream* log_;
    OutputQueue output_;
    std::string line_;
    int64_t linesReceived_ = 0;
    int64_t configsAnswered_ = 0;
    Clock::time_point receiveFree_{};  // paced: when the line has carried everything read so far
    bool hangUpPending_ = false;
    std::mt19937 random_;
};
