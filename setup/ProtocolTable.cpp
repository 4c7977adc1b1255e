#include "setup/ProtocolTable.h"

std::string BlockKeyword(std::string_view keyword, const ProtocolItem& item, int block)
{
    std::string text(keyword);
    if (item.range == IndexRange::Blocks && item.blocks > 1)
        text += std::to_string(block);
    return text;
}

const ProtocolItem* FindReplyItem(std::string_view keyword, int& block)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.reply.empty() || !keyword.starts_with(item.reply))
            continue;
        for (block = 1; block <= item.blocks; ++block) {
            if (keyword == BlockKeyword(item.reply, item, block))
                return &item;
        }
    }
    return nullptr;
}
