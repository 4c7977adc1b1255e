#include "editor/ScreenGeometry.h"

#include <algorithm>

ResolutionMatch MatchResolution(int32_t width, int32_t height)
{
    for (int j = 0; j < kResCount; ++j) {
        const Resolution& entry = ResTable[static_cast<std::size_t>(j)];
        if (entry.Width == width && entry.Height == height)
            return {j, false};
        if (entry.Width == height && entry.Height == width)
            return {j, true};
    }
    return {kDefaultResIndex, width < height};
}

QRect TileCanvasRect(int32_t deskX, int32_t deskY, int32_t deskWidth, int32_t deskHeight, int32_t zoomDiv)
{
    return QRect(deskX / zoomDiv, deskY / zoomDiv, deskWidth / zoomDiv, deskHeight / zoomDiv);
}

TextTops TileTextTops(int height)
{
    if (height > 50)
        return {(height - 47) / 2, (height - 47) / 2 + 31};
    return {(height - 42) / 2, (height - 42) / 2 + 26};
}

std::array<QRect, 8> SelectionMarks(int width, int height)
{
    constexpr int s = 6;
    const int midX = width / 2 - 3;
    const int midY = height / 2 - 3;
    return {{
        {0, 0, s, s},
        {width - s, 0, s, s},
        {0, height - s, s, s},
        {width - s, height - s, s, s},
        {midX, 0, s, s},
        {midX, height - s, s, s},
        {0, midY, s, s},
        {width - s, midY, s, s},
    }};
}

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
        auto w = [&](int m) { return layout.Port[(m - 1) * kPortCount + p].Width; };
        auto h = [&](int m) { return layout.Port[(m - 1) * kPortCount + p].Height; };
        auto place = [&](int m, int32_t x, int32_t y) { layout.MConfig[(m - 1) * kPortCount + p] = {x, y}; };
        DeskSize& total = layout.MTotal[p];
        switch (s) {
        case 0:
            // A single monitor is the port's whole desktop: no total is stored.
            total = {0, 0};
            place(1, 0, 0);
            break;
        case 1:
        case 2:
        case 3: {
            // Side by side.
            int32_t x = 0;
            int32_t height = 0;
            for (int m = 1; m <= s + 1; ++m) {
                place(m, x, 0);
                x += w(m);
                height = std::max(height, h(m));
            }
            total = {x, height};
            break;
        }
        case 4: {
            // Two rows of two.
            const int32_t top = std::max(h(1), h(2));
            total = {std::max(w(1) + w(2), w(3) + w(4)), top + std::max(h(3), h(4))};
            place(1, 0, 0);
            place(2, w(1), 0);
            place(3, 0, top);
            place(4, w(3), top);
            break;
        }
        default: {
            // Stacked: styles 5, 6 and 7 hold 2, 3 and 4 monitors.
            int32_t y = 0;
            int32_t width = 0;
            for (int m = 1; m <= s - 3; ++m) {
                place(m, 0, y);
                y += h(m);
                width = std::max(width, w(m));
            }
            total = {width, y};
            break;
        }
        }
    }
}
