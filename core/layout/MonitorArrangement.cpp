#include "core/layout/MonitorArrangement.h"

#include "core/config/LayoutRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

// A monitor's extent on the system's desktop, and which monitor it is.
struct Extent {
    DeskRect Rect;
    std::size_t Index;
};

std::vector<Extent> extents(const std::vector<ComputerMonitor>& monitors, bool scaled)
{
    std::vector<Extent> result;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const ComputerMonitor& m = monitors[i];
        const double divisor = scaled ? m.Scale : 1.0;
        const auto width = static_cast<int64_t>(std::llround(m.Width / divisor));
        const auto height = static_cast<int64_t>(std::llround(m.Height / divisor));
        result.push_back({{m.X, m.Y, int64_t{m.X} + width, int64_t{m.Y} + height}, i});
    }
    return result;
}

bool anyOverlap(const std::vector<Extent>& all)
{
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            if (Intersect(all[i].Rect, all[j].Rect))
                return true;
        }
    }
    return false;
}

// The monitors in one row, left to right: they follow each other without
// overlapping and share at least one row of pixels. Nothing when they do not.
std::optional<std::vector<Extent>> row(std::vector<Extent> monitors)
{
    std::sort(monitors.begin(), monitors.end(),
              [](const Extent& a, const Extent& b) { return a.Rect.Left < b.Rect.Left; });
    int64_t top = monitors.front().Rect.Top;
    int64_t bottom = monitors.front().Rect.Bottom;
    for (std::size_t i = 1; i < monitors.size(); ++i) {
        if (monitors[i].Rect.Left < monitors[i - 1].Rect.Right)
            return std::nullopt;
        top = std::max(top, monitors[i].Rect.Top);
        bottom = std::min(bottom, monitors[i].Rect.Bottom);
    }
    if (top >= bottom)
        return std::nullopt;
    return monitors;
}

DeskRect transposed(const DeskRect& r)
{
    return {r.Top, r.Left, r.Bottom, r.Right};
}

// The monitors in one column, top to bottom.
std::optional<std::vector<Extent>> column(std::vector<Extent> monitors)
{
    for (Extent& e : monitors)
        e.Rect = transposed(e.Rect);
    std::optional<std::vector<Extent>> ordered = row(std::move(monitors));
    if (ordered) {
        for (Extent& e : *ordered)
            e.Rect = transposed(e.Rect);
    }
    return ordered;
}

// Four monitors in two rows of two: top row left to right, then the bottom
// row.
std::optional<std::vector<Extent>> grid(std::vector<Extent> monitors)
{
    std::sort(monitors.begin(), monitors.end(), [](const Extent& a, const Extent& b) {
        return a.Rect.Top != b.Rect.Top ? a.Rect.Top < b.Rect.Top : a.Rect.Left < b.Rect.Left;
    });
    std::optional<std::vector<Extent>> upper = row({monitors[0], monitors[1]});
    std::optional<std::vector<Extent>> lower = row({monitors[2], monitors[3]});
    if (!upper || !lower)
        return std::nullopt;
    const int64_t upperBottom = std::max((*upper)[0].Rect.Bottom, (*upper)[1].Rect.Bottom);
    const int64_t lowerTop = std::min((*lower)[0].Rect.Top, (*lower)[1].Rect.Top);
    if (upperBottom > lowerTop)
        return std::nullopt;
    upper->insert(upper->end(), lower->begin(), lower->end());
    return upper;
}

// The style and the monitors in its order, if they stand in one.
std::optional<std::pair<int32_t, std::vector<Extent>>> styleOf(const std::vector<Extent>& monitors)
{
    const auto count = static_cast<int32_t>(monitors.size());
    if (count == 1)
        return std::pair{0, monitors};
    if (auto ordered = row(monitors))
        return std::pair{count - 1, *ordered};  // 1, 2, 3
    if (auto ordered = column(monitors))
        return std::pair{count + 3, *ordered};  // 5, 6, 7
    if (count == 4) {
        if (auto ordered = grid(monitors))
            return std::pair{4, *ordered};
    }
    return std::nullopt;
}

// The tiles of monitors 1 to 4 of the style, from (0, 0).
std::vector<DeskRect> tilesOf(const std::vector<ComputerMonitor>& monitors, bool scaled, int32_t style,
                              const std::vector<Extent>& ordered)
{
    std::vector<DeskRect> tiles;
    if (!scaled) {
        int64_t left = ordered.front().Rect.Left;
        int64_t top = ordered.front().Rect.Top;
        for (const Extent& e : ordered) {
            left = std::min(left, e.Rect.Left);
            top = std::min(top, e.Rect.Top);
        }
        for (const Extent& e : ordered) {
            const DeskRect& r = e.Rect;
            tiles.push_back({r.Left - left, r.Top - top, r.Right - left, r.Bottom - top});
        }
        return tiles;
    }

    std::array<DeskSize, 4> sizes{};
    for (std::size_t m = 0; m < ordered.size(); ++m) {
        const ComputerMonitor& monitor = monitors[ordered[m].Index];
        sizes[m] = {monitor.Width, monitor.Height};
    }
    const StyleDesktop desk = *ArrangeStyle(style, sizes);
    for (std::size_t m = 0; m < ordered.size(); ++m) {
        const auto& [x, y] = desk.Offsets[m];
        tiles.push_back({x, y, x + sizes[m].Width, y + sizes[m].Height});
    }
    return tiles;
}

}  // namespace

MonitorArrangement ArrangeMonitors(const std::vector<ComputerMonitor>& monitors, DeskLimits desk)
{
    MonitorArrangement arrangement;
    if (monitors.empty())
        return arrangement;
    if (monitors.size() > 4) {
        arrangement.Result = MonitorArrangement::Fit::TooMany;
        return arrangement;
    }
    std::vector<Extent> device = extents(monitors, false);
    const bool scaled = anyOverlap(device);
    const std::vector<Extent> system = scaled ? extents(monitors, true) : device;
    const auto found = anyOverlap(system) ? std::nullopt : styleOf(system);
    if (!found) {
        arrangement.Result = MonitorArrangement::Fit::NoStyle;
        return arrangement;
    }
    const auto& [style, ordered] = *found;
    arrangement.Style = style;
    arrangement.Monitors = tilesOf(monitors, scaled, style, ordered);
    for (const DeskRect& r : arrangement.Monitors) {
        arrangement.Width = std::max(arrangement.Width, r.Right);
        arrangement.Height = std::max(arrangement.Height, r.Bottom);
    }
    if (arrangement.Width > desk.MaxX || arrangement.Height > desk.MaxY) {
        arrangement.Result = MonitorArrangement::Fit::TooLarge;
        arrangement.Monitors.clear();
        return arrangement;
    }
    arrangement.Result = MonitorArrangement::Fit::Arranged;
    return arrangement;
}
