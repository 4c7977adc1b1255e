#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a worn cable or a wrong device does to the reply to "CONFIG". Each
// names a reply line by its number, from 1; a number that names no line
// never matches.
struct ReplyFaults {
    std::optional<int64_t> cutAfter;          // lines after this one are not sent (0: none is)
    std::optional<int64_t> strayPromptAfter;  // a stray "# " line follows this one
    std::optional<int64_t> loseLine;          // this line is not sent
    std::optional<int64_t> garbleLine;        // this line's first letter changes case
};

// The lines sent for `lines` under `faults`.
std::vector<std::string> DamagedReply(const std::vector<std::string>& lines, const ReplyFaults& faults);
