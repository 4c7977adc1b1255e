#include "core/link/UploadCommands.h"

#include "core/config/KvmConfig.h"
#include "core/config/ProtocolTable.h"

#include <array>
#include <cstdio>

namespace {

// A number as the switch reads it: "%d", or "%X", upper-case hexadecimal of
// the 32-bit pattern with no leading zeros.
std::string number(int32_t value, NumberBase base)
{
    if (base != NumberBase::Hex)
        return std::to_string(value);
    char text[9];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

// Appends the numbers of index `index` of a layout table, one space before each.
void appendNumbers(std::string& line, const ProtocolItem& item, const KVM_LAYOUT& layout, int index)
{
    std::array<int32_t, kMostLayoutNumbers> numbers{};
    const std::span<int32_t> values = std::span(numbers).first(static_cast<std::size_t>(item.values));
    item.get(layout, index, values);
    for (const int32_t value : values) {
        line += ' ';
        line += number(value, item.base);
    }
}

const std::string kSave = "SAVE";

}  // namespace

std::vector<std::string> SettingsCommands(const KVM_CONFIG& config)
{
    std::vector<std::string> lines;
    lines.reserve(kSettingsCommandLines);
    for (const ProtocolItem& item : kProtocolItems) {
        if (!IsLayoutItem(item) && !item.upload.empty())
            lines.push_back(std::string(item.upload) + ' ' + number(config.*item.setting, item.base));
    }
    return lines;
}

std::vector<std::string> LayoutCommands(const KVM_LAYOUT& layout)
{
    std::vector<std::string> lines;
    lines.reserve(kLayoutCommandLines);
    for (const ProtocolItem& item : kProtocolItems) {
        if (!IsLayoutItem(item) || item.upload.empty())
            continue;
        if (item.range == IndexRange::Blocks) {
            const int perBlock = item.indexes / item.blocks;
            for (int block = 1; block <= item.blocks; ++block) {
                std::string line = BlockKeyword(item.upload, item, block);
                for (int i = 1; i <= perBlock; ++i)
                    appendNumbers(line, item, layout, (block - 1) * perBlock + i);
                lines.push_back(std::move(line));
            }
        } else {
            for (int index = 1; index <= item.indexes; ++index) {
                std::string line = std::string(item.upload) + ' ' + std::to_string(index);
                appendNumbers(line, item, layout, index);
                lines.push_back(std::move(line));
            }
        }
    }
    return lines;
}

std::vector<std::string> SaveConfigCommands(const KVM_CONFIG& config, const KVM_LAYOUT& layout, bool layoutValid)
{
    std::vector<std::string> lines = SettingsCommands(config);
    lines.reserve(kSettingsCommandLines + (layoutValid ? kLayoutCommandLines : 0) + 1);
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
