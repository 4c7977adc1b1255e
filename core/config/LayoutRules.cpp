#include "core/config/LayoutRules.h"

#include <algorithm>
#include <limits>

int32_t MonitorsOfStyle(int32_t style)
{
    return style >= 0 && style < static_cast<int32_t>(StyleMonitors.size())
               ? StyleMonitors[static_cast<std::size_t>(style)]
               : 1;
}

std::optional<StyleDesktop> ArrangeStyle(int32_t style, const std::array<DeskSize, 4>& sizes)
{
    if (style < 0 || style > 7)
        return std::nullopt;
    auto w = [&](int m) { return int64_t{sizes[static_cast<std::size_t>(m - 1)].Width}; };
    auto h = [&](int m) { return int64_t{sizes[static_cast<std::size_t>(m - 1)].Height}; };
    StyleDesktop desk;
    auto place = [&](int m, int64_t x, int64_t y) { desk.Offsets[static_cast<std::size_t>(m - 1)] = {x, y}; };
    switch (style) {
    case 0:
        // A single monitor is the port's whole desktop: no total is stored.
        break;
    case 1:
    case 2:
    case 3:
        // Side by side.
        for (int m = 1; m <= style + 1; ++m) {
            place(m, desk.Width, 0);
            desk.Width += w(m);
            desk.Height = std::max(desk.Height, h(m));
        }
        break;
    case 4: {
        // Two rows of two.
        const int64_t top = std::max(h(1), h(2));
        desk.Width = std::max(w(1) + w(2), w(3) + w(4));
        desk.Height = top + std::max(h(3), h(4));
        place(2, w(1), 0);
        place(3, 0, top);
        place(4, w(3), top);
        break;
    }
    default:
        // Stacked: styles 5, 6 and 7 hold 2, 3 and 4 monitors.
        for (int m = 1; m <= style - 3; ++m) {
            place(m, 0, desk.Height);
            desk.Height += h(m);
            desk.Width = std::max(desk.Width, w(m));
        }
        break;
    }
    return desk;
}

void StoreMonitorTotals(KVM_LAYOUT& layout)
{
    for (int p = 1; p <= kPortCount; ++p) {
        std::array<DeskSize, 4> sizes;
        for (int m = 1; m <= 4; ++m) {
            const PortRect& port = layout.Port[(m - 1) * kPortCount + p];
            sizes[static_cast<std::size_t>(m - 1)] = {port.Width, port.Height};
        }
        const std::optional<StyleDesktop> desk = ArrangeStyle(layout.MStyle[p], sizes);
        if (!desk)
            continue;
        layout.MTotal[p] = {Saturated(desk->Width), Saturated(desk->Height)};
        // Only the monitors the style holds get an offset.
        for (int m = 1; m <= MonitorsOfStyle(layout.MStyle[p]); ++m) {
            const auto& [x, y] = desk->Offsets[static_cast<std::size_t>(m - 1)];
            layout.MConfig[(m - 1) * kPortCount + p] = {Saturated(x), Saturated(y)};
        }
    }
}

int32_t Saturated(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool PortsExclude(int portIndex, int otherIndex)
{
    if (portIndex < 4)
        return otherIndex / 4 == portIndex + 1;
    return otherIndex == portIndex / 4 - 1;
}
