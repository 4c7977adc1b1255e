#pragma once

#include "core/config/KvmConfig.h"
#include "core/config/ProtocolTable.h"

#include <array>
#include <bitset>
#include <iterator>
#include <string>
#include <vector>

// Which lines of the switch's configuration reply arrived: each item of the
// protocol table by its line (the one line of a setting, a block of a
// table sent in blocks, or an index of a table sent a line an index).
//
// The switch may leave lines out, but a download is whole only with the
// lines the configuration cannot do without: the settings the upload sends
// (unless the layout alone was asked for), every block of the tables sent
// in blocks, and a "Port" line for every monitor the group lines place.
// The other lines (ConfigVer, Layout, MTotal, MConfig, a monitor that is
// not placed) may be missing; what they would have said is then unknown,
// and never shown as the switch's.
class ReplyLines {
public:
    // `line`: 1 for a setting, the block (1..blocks) or the index (1..indexes).
    void mark(const ProtocolItem& item, int line);
    bool has(const ProtocolItem& item, int line) const;
    // Whether a table's entry at `index` arrived: its block's line, or its own.
    bool hasEntry(const ProtocolItem& item, int index) const;
    void clear() { lines_ = {}; }

    // The lines a whole download lacks, in the reply's order, named as the
    // reply names them ("Start", "Group3", "Port 5"); empty when it is
    // whole. `layout` holds what arrived (the group lines say which
    // monitors are placed).
    std::vector<std::string> Missing(const KVM_LAYOUT& layout, bool layoutOnly) const;

private:
    static constexpr std::size_t kItems = std::size(kProtocolItems);
    std::array<std::bitset<kScreenCount + 1>, kItems> lines_{};
};

// The first of `missing` as a person reads them: "Start, Group3, Port 5",
// with "and N more" beyond the first `shown`.
std::string MissingLinesText(const std::vector<std::string>& missing, std::size_t shown = 5);

// The protocol item whose reply keyword is `reply` ("MTotal").
const ProtocolItem& ReplyItem(std::string_view reply);
