#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

const char* const kSimUsage =
    "usage: torvik-sim [options]\n"
    "Simulates the switch on a pseudo-terminal and prints the terminal's path.\n"
    "  --link PATH         make PATH a symbolic link to the terminal (removed at exit)\n"
    "  --state FILE        keep the stored configuration in FILE (read at start, written on SAVE)\n"
    "  --log FILE          write every command line received to FILE, one a line\n"
    "  --silent-after N    answer nothing after N command lines\n"
    "  --hangup-after N    close the terminal once N command lines have been answered and read\n"
    "  --delay-ms N        wait N milliseconds before each prompt\n"
    "  --pace              send and receive at 115200 baud line speed\n"
    "  --latency-ms N      pass what is sent on only every N milliseconds (up to 255),\n"
    "                      as a USB adapter's latency timer does (FTDI: 16)\n"
    "  --echo              echo each command line before answering it\n"
    "  --lf-only           end lines with LF instead of CR LF\n"
    "  --noise             put random junk lines among the reply lines\n"
    "  --seed N            seed for --noise, to repeat a run\n"
    "  --cut-after K       send none of CONFIG's reply lines after line K (0: the prompt alone)\n"
    "  --stray-prompt-after K\n"
    "                      send a stray prompt line \"# \" after CONFIG's reply line K\n"
    "  --lose-line K       leave out CONFIG's reply line K\n"
    "  --garble-line K     change the case of the first letter of CONFIG's reply line K\n"
    "  --line-gap-ms N     send CONFIG's reply lines and its prompt N milliseconds apart\n"
    "  --fault-on N        apply the five options above to the Nth CONFIG received only\n"
    "                      (without it: to every one); reply lines are numbered from 1 to 192\n"
    "  --save-late-ms N    send the prompt that answers SAVE N milliseconds late\n"
    "  --help              show this text\n"
    "  --version           show the version\n";

namespace {

struct Flag {
    std::string_view name;
    bool SimOptions::*field;
};
constexpr Flag kFlags[] = {
    {"--pace", &SimOptions::pace},
    {"--echo", &SimOptions::echo},
    {"--lf-only", &SimOptions::lfOnly},
    {"--noise", &SimOptions::noise},
};

struct Path {
    std::string_view name;
    std::string SimOptions::*field;
};
constexpr Path kPaths[] = {
    {"--link", &SimOptions::link},
    {"--state", &SimOptions::state},
    {"--log", &SimOptions::log},
};

constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kSeedMax = std::numeric_limits<uint32_t>::max();
constexpr int64_t kLatencyMax = 255;  // the longest timer adapters have

struct Number {
    std::string_view name;
    int64_t max;
    void (*set)(SimOptions&, int64_t);
};
constexpr Number kNumbers[] = {
    {"--silent-after", kIntMax, [](SimOptions& o, int64_t n) { o.silentAfter = n; }},
    {"--hangup-after", kIntMax, [](SimOptions& o, int64_t n) { o.hangUpAfter = n; }},
    {"--delay-ms", kIntMax, [](SimOptions& o, int64_t n) { o.delayMs = n; }},
    {"--latency-ms", kLatencyMax, [](SimOptions& o, int64_t n) { o.latencyMs = n; }},
    {"--seed", kSeedMax, [](SimOptions& o, int64_t n) { o.seed = n; }},
    {"--cut-after", kIntMax, [](SimOptions& o, int64_t n) { o.replyFaults.cutAfter = n; }},
    {"--stray-prompt-after", kIntMax, [](SimOptions& o, int64_t n) { o.replyFaults.strayPromptAfter = n; }},
    {"--lose-line", kIntMax, [](SimOptions& o, int64_t n) { o.replyFaults.loseLine = n; }},
    {"--garble-line", kIntMax, [](SimOptions& o, int64_t n) { o.replyFaults.garbleLine = n; }},
    {"--line-gap-ms", kIntMax, [](SimOptions& o, int64_t n) { o.lineGapMs = n; }},
    {"--fault-on", kIntMax, [](SimOptions& o, int64_t n) { o.faultOn = n; }},
    {"--save-late-ms", kIntMax, [](SimOptions& o, int64_t n) { o.saveLateMs = n; }},
};

template <typename Entry, std::size_t N>
const Entry* find(const Entry (&table)[N], std::string_view name)
{
    const auto found = std::find_if(std::begin(table), std::end(table), [&](const Entry& e) { return e.name == name; });
    return found == std::end(table) ? nullptr : found;
}

std::optional<int64_t> number(std::string_view text, int64_t max)
{
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < 0 || value > max)
        return std::nullopt;
    return value;
}

}  // namespace

ParsedOptions ParseSimOptions(std::span<char* const> args)
{
    ParsedOptions result;
    for (std::size_t i = 0; i < args.size() && result.error.empty(); ++i) {
        const std::string_view name = args[i];
        if (name == "--help") {
            result.help = true;
        } else if (name == "--version") {
            result.version = true;
        } else if (const Flag* flag = find(kFlags, name)) {
            result.options.*flag->field = true;
        } else if (!find(kPaths, name) && !find(kNumbers, name)) {
            result.error = "unknown option: " + std::string(name);
        } else if (i + 1 == args.size() || std::string_view(args[i + 1]).empty()) {
            result.error = std::string(name) + " needs a value";
        } else if (const Path* path = find(kPaths, name)) {
            result.options.*path->field = args[++i];
        } else if (const std::optional<int64_t> value = number(args[++i], find(kNumbers, name)->max)) {
            find(kNumbers, name)->set(result.options, *value);
        } else {
            result.error = std::string(name) + " needs a number from 0 to " + std::to_string(find(kNumbers, name)->max);
        }
    }
    return result;
}
