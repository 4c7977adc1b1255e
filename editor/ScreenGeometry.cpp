#include "editor/ScreenGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

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

int32_t Saturated(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int CanvasPixels(int64_t device, int32_t zoomDiv)
{
    return static_cast<int>(
        std::clamp<int64_t>(device / zoomDiv, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QRect TileCanvasRect(int32_t deskX, int32_t deskY, int32_t deskWidth, int32_t deskHeight, int32_t zoomDiv)
{
    return QRect(CanvasPixels(deskX, zoomDiv), CanvasPixels(deskY, zoomDiv), CanvasPixels(deskWidth, zoomDiv),
                 CanvasPixels(deskHeight, zoomDiv));
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

DeskSize MonitorSize(int resIndex, bool portrait)
{
    const Resolution& entry = ResTable[static_cast<std::size_t>(resIndex)];
    return portrait ? DeskSize{entry.Height, entry.Width} : DeskSize{entry.Width, entry.Height};
}

std::optional<int32_t> ParseDeskPosition(const QString& text)
{
    constexpr int32_t kLimit = 1'000'000'000;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < -kLimit || value > kLimit)
        return std::nullopt;
    return value;
}

bool PortsExclude(int portIndex, int otherIndex)
{
    if (portIndex < 4)
        return otherIndex / 4 == portIndex + 1;
    return otherIndex == portIndex / 4 - 1;
}

namespace {

// The best snap target found so far for one edge.
struct SnapCandidate {
    int64_t Distance;
    int64_t Target;

    // A target replaces the best only when strictly nearer.
    void offer(int64_t edge, int64_t target)
    {
        const int64_t distance = std::abs(edge - target);
        if (distance < Distance)
            *this = {distance, target};
    }
    // Of a tile's two edges on the axis, the nearer one; the first on a tie.
    void offerNearer(int64_t edge, int64_t first, int64_t second)
    {
        offer(edge, std::abs(edge - first) <= std::abs(edge - second) ? first : second);
    }
};

SnapCandidate borderCandidate(int64_t edge, int32_t border)
{
    return {std::abs(edge - border), border};
}

// Snaps one axis: the start edge wins a tie with the end edge.
void snapAxis(int64_t& start, int64_t& end, const SnapCandidate& toStart, const SnapCandidate& toEnd,
              int32_t snapRange)
{
    const int64_t length = end - start;
    if (toStart.Distance <= toEnd.Distance) {
        if (toStart.Distance <= snapRange) {
            start = toStart.Target;
            end = start + length;
        }
    } else if (toEnd.Distance <= snapRange) {
        end = toEnd.Target;
        start = end - length;
    }
}

}  // namespace

DeskRect SnapToEdges(const TileBoxes& tiles, int screenNo, DeskRect proposed, DeskLimits desk, int32_t snapRange)
{
    SnapCandidate left = borderCandidate(proposed.Left, 0);
    SnapCandidate top = borderCandidate(proposed.Top, 0);
    SnapCandidate right = borderCandidate(proposed.Right, desk.MaxX);
    SnapCandidate bottom = borderCandidate(proposed.Bottom, desk.MaxY);
    const int32_t group = tiles[screenNo].Group;
    for (int n = 1; n <= kScreenCount; ++n) {
        if (n == screenNo || tiles[n].Group != group)
            continue;
        const DeskRect& other = tiles[n].Rect;
        left.offerNearer(proposed.Left, other.Left, other.Right);
        right.offerNearer(proposed.Right, other.Left, other.Right);
        top.offerNearer(proposed.Top, other.Top, other.Bottom);
        bottom.offerNearer(proposed.Bottom, other.Top, other.Bottom);
    }
    snapAxis(proposed.Left, proposed.Right, left, right, snapRange);
    snapAxis(proposed.Top, proposed.Bottom, top, bottom, snapRange);
    return proposed;
}

DeskRect ClampToDesk(DeskRect rect, DeskLimits desk)
{
    const int64_t width = rect.Right - rect.Left;
    const int64_t height = rect.Bottom - rect.Top;
    if (rect.Left < 0)
        rect = {0, rect.Top, width, rect.Bottom};
    if (rect.Top < 0)
        rect = {rect.Left, 0, rect.Right, height};
    if (rect.Right > desk.MaxX)
        rect = {desk.MaxX - width, rect.Top, desk.MaxX, rect.Bottom};
    if (rect.Bottom > desk.MaxY)
        rect = {rect.Left, desk.MaxY - height, rect.Right, desk.MaxY};
    return rect;
}

bool Intersect(const DeskRect& a, const DeskRect& b)
{
    return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
           std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

int FindOverlap(const TileBoxes& tiles, int screenNo)
{
    const TileBox& tile = tiles[screenNo];
    if (tile.Group == 0)
        return 0;
    for (int n = 1; n <= kScreenCount; ++n) {
        if (n != screenNo && tiles[n].Group == tile.Group && Intersect(tiles[n].Rect, tile.Rect))
            return n;
    }
    return 0;
}

OverlapPair FirstOverlap(const TileBoxes& tiles)
{
    for (int n = 1; n <= kScreenCount; ++n) {
        if (const int other = FindOverlap(tiles, n); other > 0)
            return {n, other};
    }
    return {};
}

LayoutStep MoveStep(const TileBoxes& tiles, MoveDirection direction, DeskLimits desk)
{
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;
    const int64_t limit = vertical ? desk.MaxY : desk.MaxX;
    int64_t edge = towardStart ? limit : 0;
    int64_t largest = 0;
    for (const TileBox& tile : tiles) {
        if (tile.Group == 0)
            continue;
        const int64_t start = vertical ? tile.Rect.Top : tile.Rect.Left;
        const int64_t end = vertical ? tile.Rect.Bottom : tile.Rect.Right;
        edge = towardStart ? std::min(edge, start) : std::max(edge, end);
        largest = std::max(largest, end - start);
    }
    const int64_t room = towardStart ? edge : limit - edge;
    return {std::min(largest, room), edge};
}

DeskOffset LayoutTopLeft(const TileBoxes& tiles, DeskLimits desk)
{
    int64_t left = desk.MaxX;
    int64_t top = desk.MaxY;
    for (const TileBox& tile : tiles) {
        if (tile.Group == 0)
            continue;
        left = std::min(left, tile.Rect.Left);
        top = std::min(top, tile.Rect.Top);
    }
    return {Saturated(left), Saturated(top)};
}

int ScrollAfterMove(LayoutStep step, bool towardStart, int32_t zoomDiv, ScrollAxis axis)
{
    const int64_t s = step.Step / zoomDiv;
    if (s <= 0)
        return axis.Position;
    if (towardStart) {
        // The layout's new start edge lies before the view: scroll back.
        if ((step.Edge - step.Step) / zoomDiv >= axis.Position)
            return axis.Position;
        return axis.Client - s < axis.Position ? Saturated(axis.Position - (axis.Client - s)) : 0;
    }
    // The layout's new end edge lies past the view: scroll on.
    const int64_t viewEnd = int64_t{axis.Client} + axis.Position;
    if ((step.Edge + step.Step) / zoomDiv <= viewEnd)
        return axis.Position;
    return viewEnd < axis.Range + s - axis.Client ? Saturated(viewEnd - s) : axis.Range - axis.Client;
}

FollowScroll ScrollToFollow(int viewStart, int size, ScrollAxis axis)
{
    if (viewStart < 0) {
        if (axis.Position > size)
            return {axis.Position - size, size};
        return {0, 0};
    }
    if (viewStart + size > axis.Client + size / 2) {
        if (axis.Position < axis.Range - axis.Client - size - size / 2)
            return {axis.Position + size, -size};
        const int end = axis.Range - axis.Client;
        return {end, end > axis.Position ? axis.Position - end : 0};
    }
    return {axis.Position, 0};
}
