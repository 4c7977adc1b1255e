#include "sim/ConfigReply.h"

#include <array>
#include <cstdio>

namespace {

std::string hex(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

// The keyword followed by " %d" for every number.
template <typename Range>
std::string numbersLine(std::string keyword, const Range& numbers)
{
    for (const int32_t number : numbers)
        keyword += ' ' + std::to_string(number);
    return keyword;
}

}  // namespace

std::vector<std::string> ConfigReplyLines(const KVM_CONFIG& config, const KVM_LAYOUT& layout)
{
    std::vector<std::string> lines;
    lines.push_back("ConfigVer " + hex(config.ConfigVer));
    lines.push_back("Start " + std::to_string(config.Start));
    lines.push_back("Glidex " + std::to_string(config.Glidex));
    lines.push_back("HotKey " + std::to_string(config.HotKey));
    lines.push_back("Slider " + hex(config.Slider));
    lines.push_back("SwitchPos " + hex(config.SwitchPos));
    // A switch without a layout name reports the keyword alone.
    lines.push_back(config.Layout.empty() ? "Layout" : "Layout " + config.Layout);

    for (int block = 1; block <= 4; ++block) {
        std::array<int32_t, kPortCount> group{};
        for (int p = 1; p <= kPortCount; ++p)
            group[p - 1] = layout.Group[(block - 1) * kPortCount + p];
        lines.push_back(numbersLine("Group" + std::to_string(block), group));
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const PortRect& r = layout.Port[n];
        lines.push_back(numbersLine("Port", std::array{n, r.X, r.Y, r.Width, r.Height}));
    }
    lines.push_back(numbersLine("MStyle", layout.MStyle));
    for (int p = 1; p <= kPortCount; ++p) {
        const DeskSize& s = layout.MTotal[p];
        lines.push_back(numbersLine("MTotal", std::array{p, s.Width, s.Height}));
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const DeskOffset& o = layout.MConfig[n];
        lines.push_back(numbersLine("MConfig", std::array{n, o.X, o.Y}));
    }
    return lines;
}
