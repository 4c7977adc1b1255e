#pragma once

#include "core/config/KvmConfig.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// Every configuration item the switch and the files carry, with its keyword
// in the upload's command lines, in the switch's reply lines and in the
// settings and layout files, how its numbers are written and how its values
// spread over lines. The upload, the reply parser and the file code all work
// from this one table, in its order.

enum class NumberBase {
    Decimal,  // "%d"
    Hex,      // "%X": upper-case hexadecimal of the 32-bit pattern
    Text,     // one word
};

// How an item's values spread over lines and file keys.
enum class IndexRange {
    None,    // a single value: "KEYWORD value"
    Blocks,  // a whole table, indexes 1..N, in `blocks` lines of N / blocks
             // indexes each; with more than one block the keyword carries the
             // block's number ("GROUP1".."GROUP4"). Files hold the whole
             // table under one key.
    Each,    // one line per index i = 1..N, "KEYWORD i values"; files hold
             // one key per index, the keyword followed by i ("Port1")
};

struct ProtocolItem {
    std::string_view upload;   // keyword of its upload lines; empty: never sent
    std::string_view reply;    // keyword of its reply lines; empty: never received
    std::string_view fileKey;  // its key, or key prefix, in the files; empty: not filed
    NumberBase base;           // in upload and reply lines; files are always decimal
    IndexRange range;
    int indexes;  // N, the size of a layout table; 0 for a single value
    int blocks;   // the lines a Blocks table takes
    int values;   // numbers per index

    // Where a single value lives: in the settings record, in the file's
    // "Setup" section, or (Text) as the record's word.
    int32_t KVM_CONFIG::*setting;
    int32_t SetupSettings::*filed;
    std::string KVM_CONFIG::*word;
    // A layout table's numbers at index i (1-based), `values` of them.
    void (*get)(const KVM_LAYOUT& layout, int index, std::span<int32_t> numbers);
    void (*set)(KVM_LAYOUT& layout, int index, std::span<const int32_t> numbers);
};

// The numbers of one element of a layout table: the element itself, or the
// listed members of it, in order.
template <auto Table, auto... Members>
struct LayoutNumbers {
    static void get(const KVM_LAYOUT& layout, int index, std::span<int32_t> numbers)
    {
        const auto& element = (layout.*Table)[index];
        if constexpr (sizeof...(Members) == 0) {
            numbers[0] = element;
        } else {
            std::size_t k = 0;
            ((numbers[k++] = element.*Members), ...);
        }
    }
    static void set(KVM_LAYOUT& layout, int index, std::span<const int32_t> numbers)
    {
        auto& element = (layout.*Table)[index];
        if constexpr (sizeof...(Members) == 0) {
            element = numbers[0];
        } else {
            std::size_t k = 0;
            ((element.*Members = numbers[k++]), ...);
        }
    }
};

constexpr ProtocolItem SettingItem(std::string_view upload, std::string_view reply, std::string_view fileKey,
                                   NumberBase base, int32_t KVM_CONFIG::*setting, int32_t SetupSettings::*filed)
{
    return {upload, reply, fileKey, base, IndexRange::None, 0, 1, 1, setting, filed, nullptr, nullptr, nullptr};
}

constexpr ProtocolItem WordItem(std::string_view reply, std::string KVM_CONFIG::*word)
{
    return {{}, reply, {}, NumberBase::Text, IndexRange::None, 0, 1, 1, nullptr, nullptr, word, nullptr, nullptr};
}

template <auto Table, auto... Members>
constexpr ProtocolItem LayoutItem(std::string_view upload, std::string_view reply, std::string_view fileKey,
                                  IndexRange range, int blocks = 1)
{
    using Numbers = LayoutNumbers<Table, Members...>;
    const int indexes = std::remove_cvref_t<decltype(KVM_LAYOUT{}.*Table)>::size();
    const int values = sizeof...(Members) == 0 ? 1 : static_cast<int>(sizeof...(Members));
    return {upload,  reply,   fileKey, NumberBase::Decimal, range, indexes, blocks, values,
            nullptr, nullptr, nullptr, &Numbers::get,       &Numbers::set};
}

inline constexpr ProtocolItem kProtocolItems[] = {
    SettingItem({}, {}, "COMPort", NumberBase::Decimal, nullptr, &SetupSettings::COMPort),
    SettingItem({}, "ConfigVer", {}, NumberBase::Hex, &KVM_CONFIG::ConfigVer, nullptr),
    SettingItem("START", "Start", "Start", NumberBase::Decimal, &KVM_CONFIG::Start, &SetupSettings::Start),
    SettingItem("GLIDEX", "Glidex", "Glidex", NumberBase::Decimal, &KVM_CONFIG::Glidex, &SetupSettings::Glidex),
    SettingItem("HOTKEY", "HotKey", "HotKey", NumberBase::Decimal, &KVM_CONFIG::HotKey, &SetupSettings::HotKey),
    SettingItem("SLIDER", "Slider", "MouseSlider", NumberBase::Hex, &KVM_CONFIG::Slider, &SetupSettings::MouseSlider),
    SettingItem("SWITCHPOS", "SwitchPos", "SwitchPosition", NumberBase::Hex, &KVM_CONFIG::SwitchPos,
                &SetupSettings::SwitchPosition),
    WordItem("Layout", &KVM_CONFIG::Layout),
    LayoutItem<&KVM_LAYOUT::Group>("GROUP", "Group", "Group", IndexRange::Blocks, 4),
    LayoutItem<&KVM_LAYOUT::Port, &PortRect::X, &PortRect::Y, &PortRect::Width, &PortRect::Height>(
        "PORT", "Port", "Port", IndexRange::Each),
    LayoutItem<&KVM_LAYOUT::MStyle>("MSTYLE", "MStyle", "MStyle", IndexRange::Blocks),
    LayoutItem<&KVM_LAYOUT::MTotal, &DeskSize::Width, &DeskSize::Height>("MTOTAL", "MTotal", "MTotal",
                                                                         IndexRange::Each),
    LayoutItem<&KVM_LAYOUT::MConfig, &DeskOffset::X, &DeskOffset::Y>("MCONFIG", "MConfig", "MConfig",
                                                                     IndexRange::Each),
};

constexpr bool IsLayoutItem(const ProtocolItem& item)
{
    return item.range != IndexRange::None;
}

// The lines an item takes in an upload or a reply.
constexpr int LinesOf(const ProtocolItem& item)
{
    return item.range == IndexRange::Each ? item.indexes : item.blocks;
}

// The lines of the items that have a `keyword` (upload or reply), of the
// layout or of the rest.
constexpr int CountLines(std::string_view ProtocolItem::*keyword, bool layout)
{
    int lines = 0;
    for (const ProtocolItem& item : kProtocolItems) {
        if (!(item.*keyword).empty() && IsLayoutItem(item) == layout)
            lines += LinesOf(item);
    }
    return lines;
}

inline constexpr int kSettingsCommandLines = CountLines(&ProtocolItem::upload, false);
inline constexpr int kLayoutCommandLines = CountLines(&ProtocolItem::upload, true);
// The lines of a full configuration reply.
inline constexpr int kReplyLines = CountLines(&ProtocolItem::reply, false) + CountLines(&ProtocolItem::reply, true);

// The most numbers one line or file key of a layout table holds: a whole
// table under one file key, or an index and its values.
constexpr int MostLayoutNumbers()
{
    int most = 0;
    for (const ProtocolItem& item : kProtocolItems) {
        if (IsLayoutItem(item))
            most = std::max(most, item.range == IndexRange::Blocks ? item.indexes * item.values : 1 + item.values);
    }
    return most;
}
inline constexpr int kMostLayoutNumbers = MostLayoutNumbers();

// `keyword` as the given block's line of `item` starts: followed by the
// block's number when the table takes more than one line.
std::string BlockKeyword(std::string_view keyword, const ProtocolItem& item, int block);

// The reply keywords of the layout items, or of the others, as a person
// reads them: "Start, Glidex, ..." or "Group1 to Group4, Port, ...".
std::string ReplyKeywords(bool layout);

// The item whose reply lines start with `keyword`, matched exactly, letter
// case included; `block` tells which block's line it is (1 unless the item
// is sent in blocks). Nullptr for any other keyword.
const ProtocolItem* FindReplyItem(std::string_view keyword, int& block);
