#include "core/config/LayoutRules.h"

#include <algorithm>
#include <limits>

int32_t MonitorsOfStyle(int32_t style)
{
    return style >= 0 && style < static_cast<int32_t>(StyleMonitors.size())
               ? StyleMonitors[static_cast<std::size_t>(style)]
               : 1;
}

void StoreMonitorTotals(KVM_LAYOUT& layout)
{
    for (int p = 1; p <= kPortCount; ++p) {
        const int32_t s = layout.MStyle[p];
        if (s < 0 || s > 7)
            continue;
        auto w = [&](int m) { return int64_t{layout.Port[(m - 1) * kPortCount + p].Width}; };
        auto h = [&](int m) { return int64_t{layout.Port[(m - 1) * kPortCount + p].Height}; };
        auto place = [&](int m, int64_t x, int64_t y) {
            layout.MConfig[(m - 1) * kPortCount + p] = {Saturated(x), Saturated(y)};
        };
        auto setTotal = [&](int64_t width, int64_t height) {
            layout.MTotal[p] = {Saturated(width), Saturated(height)};
        };
        switch (s) {
        case 0:
            // A single monitor is the port's whole desktop: no total is stored.
            setTotal(0, 0);
            place(1, 0, 0);
            break;
        case 1:
        case 2:
        case 3: {
            // Side by side.
            int64_t x = 0;
            int64_t height = 0;
            for (int m = 1; m <= s + 1; ++m) {
                place(m, x, 0);
                x += w(m);
                height = std::max(height, h(m));
            }
            setTotal(x, height);
            break;
        }
        case 4: {
            // Two rows of two.
            const int64_t top = std::max(h(1), h(2));
            setTotal(std::max(w(1) + w(2), w(3) + w(4)), top + std::max(h(3), h(4)));
            place(1, 0, 0);
            place(2, w(1), 0);
            place(3, 0, top);
            place(4, w(3), top);
            break;
        }
        default: {
            // Stacked: styles 5, 6 and 7 hold 2, 3 and 4 monitors.
            int64_t y = 0;
            int64_t width = 0;
            for (int m = 1; m <= s - 3; ++m) {
                place(m, 0, y);
                y += h(m);
                width = std::max(width, w(m));
            }
            setTotal(width, y);
            break;
        }
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
