#include "core/config/ProtocolTable.h"

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

std::string ReplyKeywords(bool layout)
{
    std::string text;
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.reply.empty() || IsLayoutItem(item) != layout)
            continue;
        if (!text.empty())
            text += ", ";
        text += BlockKeyword(item.reply, item, 1);
        if (item.blocks > 1)
            text += " to " + BlockKeyword(item.reply, item, item.blocks);
    }
    return text;
}
