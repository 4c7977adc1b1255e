// Arbitrary bytes as a monitor list written by --screens --json on another
// computer, read and arranged as the layout editor does. Besides crashes and
// undefined behaviour this checks what the editor relies on: an arranged
// list puts each monitor on one tile of its own size, as many as its style
// holds, side by side or stacked without overlapping, from (0, 0), all on
// the editor's desktop.

#include "core/config/LayoutRules.h"
#include "core/layout/LayoutModel.h"
#include "core/layout/MonitorArrangement.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const MonitorsRead read = ReadMonitorsJson(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    check(read.Error.isEmpty() || read.Monitors.empty());
    const int32_t desk = kEditorCanvasSize * kEditorCanvas.ZoomDiv;  // the editor's desktop, 60000 a side
    const MonitorArrangement arrangement = ArrangeMonitors(read.Monitors, {desk, desk});
    if (arrangement.Result != MonitorArrangement::Fit::Arranged) {
        check(arrangement.Monitors.empty());
        return 0;
    }
    const std::vector<DeskRect>& tiles = arrangement.Monitors;
    check(static_cast<int>(tiles.size()) == MonitorsOfStyle(arrangement.Style));
    check(tiles.size() == read.Monitors.size());
    int64_t left = tiles.front().Left;
    int64_t top = tiles.front().Top;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        left = std::min(left, tiles[i].Left);
        top = std::min(top, tiles[i].Top);
        for (std::size_t j = i + 1; j < tiles.size(); ++j)
            check(!Intersect(tiles[i], tiles[j]));
    }
    check(left == 0 && top == 0);
    for (const DeskRect& tile : tiles)
        check(tile.Right <= arrangement.Width && arrangement.Width <= desk && tile.Bottom <= arrangement.Height &&
              arrangement.Height <= desk);
    // Every monitor's size is on exactly one tile.
    std::vector<std::pair<int64_t, int64_t>> sizes;
    std::vector<std::pair<int64_t, int64_t>> wanted;
    for (const DeskRect& tile : tiles)
        sizes.emplace_back(tile.Right - tile.Left, tile.Bottom - tile.Top);
    for (const ComputerMonitor& monitor : read.Monitors)
        wanted.emplace_back(monitor.Width, monitor.Height);
    std::sort(sizes.begin(), sizes.end());
    std::sort(wanted.begin(), wanted.end());
    check(sizes == wanted);
    return 0;
}
