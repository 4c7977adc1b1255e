#include "setup/UploadCommands.h"

#include "setup/KvmConfig.h"

#include <cstdio>
#include <initializer_list>

namespace {

std::string decimal(int32_t value)
{
    return std::to_string(value);
}

// "%X": upper-case hexadecimal of the 32-bit pattern, no leading zeros.
std::string hex(int32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

// A keyword followed by numbers, "%d" each, one space before each number.
std::string numbersLine(std::string keyword, std::initializer_list<int32_t> numbers)
{
    for (const int32_t number : numbers) {
        keyword += ' ';
        keyword += decimal(number);
    }
    return keyword;
}

const std::string kSave = "SAVE";

}  // namespace

std::vector<std::string> SettingsCommands(const KVM_CONFIG& config)
{
    return {
        "START " + decimal(config.Start),       "GLIDEX " + decimal(config.Glidex),
        "HOTKEY " + decimal(config.HotKey),     "SLIDER " + hex(config.Slider),
        "SWITCHPOS " + hex(config.SwitchPos),
    };
}

std::vector<std::string> LayoutCommands(const KVM_LAYOUT& layout)
{
    std::vector<std::string> lines;
    lines.reserve(4 + kScreenCount + 1 + kPortCount + kScreenCount);
    for (int block = 0; block < 4; ++block) {
        std::string line = "GROUP" + decimal(block + 1);
        for (int i = 1; i <= 20; ++i)
            line += " " + decimal(layout.Group[block * 20 + i]);
        lines.push_back(std::move(line));
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const PortRect& r = layout.Port[n];
        lines.push_back(numbersLine("PORT", {n, r.X, r.Y, r.Width, r.Height}));
    }
    std::string styles = "MSTYLE";
    for (int p = 1; p <= kPortCount; ++p)
        styles += " " + decimal(layout.MStyle[p]);
    lines.push_back(std::move(styles));
    for (int p = 1; p <= kPortCount; ++p)
        lines.push_back(numbersLine("MTOTAL", {p, layout.MTotal[p].Width, layout.MTotal[p].Height}));
    for (int n = 1; n <= kScreenCount; ++n)
        lines.push_back(numbersLine("MCONFIG", {n, layout.MConfig[n].X, layout.MConfig[n].Y}));
    return lines;
}

std::vector<std::string> SaveConfigCommands(const KVM_CONFIG& config, const KVM_LAYOUT& layout, bool layoutValid)
{
    std::vector<std::string> lines = SettingsCommands(config);
    if (layoutValid) {
        const std::vector<std::string> layoutLines = LayoutCommands(layout);
        lines.insert(lines.end(), layoutLines.begin(), layoutLines.end());
    }
    lines.push_back(kSave);
    return lines;
}

std::vector<std::string> SendLayoutCommands(const KVM_LAYOUT& layout)
{
    std::vector<std::string> lines = LayoutCommands(layout);
    lines.push_back(kSave);
    return lines;
}
