#pragma once

#include "sim/ReplyFaults.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The simulator's command line.
struct SimOptions {
    std::string link;   // --link PATH: a symbolic link to the slave end
    std::string state;  // --state FILE: the stored configuration, read at start, written on SAVE
    std::string log;    // --log FILE: every command line received, one a line

    // Faults and realism.
    std::optional<int64_t> silentAfter;  // --silent-after N: no answers after N command lines
    std::optional<int64_t> hangUpAfter;  // --hangup-after N: close the line after N answers
    int64_t delayMs = 0;                 // --delay-ms N: before each prompt
    int64_t latencyMs = 0;               // --latency-ms N: a USB adapter's latency timer
    bool pace = false;                   // --pace: 115200 baud wire time
    bool echo = false;                   // --echo: each command line before its answer
    bool lfOnly = false;                 // --lf-only: lines end with LF alone
    bool noise = false;                  // --noise: junk lines among the reply lines
    std::optional<int64_t> seed;         // --seed N: for --noise, to repeat a run

    // Damage to the reply to CONFIG: --cut-after, --stray-prompt-after,
    // --lose-line and --garble-line K, and --line-gap-ms N between its lines;
    // to the Nth CONFIG received only with --fault-on N, else to every one.
    ReplyFaults replyFaults;
    int64_t lineGapMs = 0;
    std::optional<int64_t> faultOn;
    int64_t saveLateMs = 0;  // --save-late-ms N: before the prompt that answers SAVE
};

struct ParsedOptions {
    SimOptions options;
    bool help = false;
    bool version = false;
    std::string error;  // empty when the command line was good
};

// Parses the arguments after the program name.
ParsedOptions ParseSimOptions(std::span<char* const> args);

extern const char* const kSimUsage;
