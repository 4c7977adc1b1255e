#include "sim/ReplyFaults.h"

#include <cctype>

namespace {

std::string garbled(std::string line)
{
    if (!line.empty()) {
        const auto first = static_cast<unsigned char>(line[0]);
        line[0] = static_cast<char>(std::isupper(first) ? std::tolower(first) : std::toupper(first));
    }
    return line;
}

}  // namespace

std::vector<std::string> DamagedReply(const std::vector<std::string>& lines, const ReplyFaults& faults)
{
    std::vector<std::string> sent;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto number = static_cast<int64_t>(i + 1);
        if (faults.cutAfter && number > *faults.cutAfter)
            break;
        if (number != faults.loseLine)
            sent.push_back(number == faults.garbleLine ? garbled(lines[i]) : lines[i]);
        if (number == faults.strayPromptAfter)
            sent.push_back("# ");
    }
    return sent;
}
