#include "core/link/ReplyLines.h"

#include <cassert>

namespace {

std::size_t position(const ProtocolItem& item)
{
    return static_cast<std::size_t>(&item - std::begin(kProtocolItems));
}

bool required(const ProtocolItem& item, bool layoutOnly)
{
    if (item.reply.empty())
        return false;
    if (!IsLayoutItem(item))
        return !layoutOnly && !item.upload.empty();
    return item.range == IndexRange::Blocks || item.reply == "Port";
}

}  // namespace

void ReplyLines::mark(const ProtocolItem& item, int line)
{
    if (line >= 1 && line <= kScreenCount)
        lines_[position(item)].set(static_cast<std::size_t>(line));
}

bool ReplyLines::has(const ProtocolItem& item, int line) const
{
    return line >= 1 && line <= kScreenCount && lines_[position(item)].test(static_cast<std::size_t>(line));
}

bool ReplyLines::hasEntry(const ProtocolItem& item, int index) const
{
    if (item.range != IndexRange::Blocks)
        return has(item, index);
    const int perBlock = item.indexes / item.blocks;
    return has(item, (index - 1) / perBlock + 1);
}

std::vector<std::string> ReplyLines::Missing(const KVM_LAYOUT& layout, bool layoutOnly) const
{
    std::vector<std::string> missing;
    for (const ProtocolItem& item : kProtocolItems) {
        if (!required(item, layoutOnly))
            continue;
        if (!IsLayoutItem(item)) {
            if (!has(item, 1))
                missing.emplace_back(item.reply);
        } else if (item.range == IndexRange::Blocks) {
            for (int block = 1; block <= item.blocks; ++block) {
                if (!has(item, block))
                    missing.push_back(BlockKeyword(item.reply, item, block));
            }
        } else {
            // Only the monitors placed need their rectangle.
            for (int n = 1; n <= item.indexes; ++n) {
                if (layout.Group[n] != 0 && !has(item, n))
                    missing.push_back(std::string(item.reply) + ' ' + std::to_string(n));
            }
        }
    }
    return missing;
}

std::string MissingLinesText(const std::vector<std::string>& missing, std::size_t shown)
{
    std::string text;
    for (std::size_t i = 0; i < missing.size() && i < shown; ++i)
        text += (i == 0 ? "" : ", ") + missing[i];
    if (missing.size() > shown)
        text += " and " + std::to_string(missing.size() - shown) + " more";
    return text;
}

const ProtocolItem& ReplyItem(std::string_view reply)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.reply == reply)
            return item;
    }
    assert(false && "no such reply keyword");
    return kProtocolItems[0];
}
