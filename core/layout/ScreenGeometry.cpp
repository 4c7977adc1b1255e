#include "core/layout/ScreenGeometry.h"

#include "core/config/LayoutRules.h"
#include "core/layout/CanvasTransform.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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
              int64_t snapRange)
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

DeskRect SnapToEdges(const TileBoxes& tiles, int screenNo, DeskRect proposed, DeskLimits desk, int64_t snapRange)
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

DeskRect NextAlignment(const TileBoxes& tiles, int screenNo, DeskRect rect, MoveDirection direction,
                       DeskLimits desk)
{
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;
    const int64_t start = vertical ? rect.Top : rect.Left;
    const int64_t length = vertical ? rect.Bottom - rect.Top : rect.Right - rect.Left;
    const int64_t lastStart = (vertical ? desk.MaxY : desk.MaxX) - length;

    // Candidates are new start edges; the nearest one past `start` wins.
    int64_t best = start;
    auto offer = [&](int64_t candidate) {
        if (candidate < 0 || candidate > lastStart)
            return;
        const bool ahead = towardStart ? candidate < start : candidate > start;
        const bool nearer = best == start || (towardStart ? candidate > best : candidate < best);
        if (ahead && nearer)
            best = candidate;
    };
    offer(towardStart ? 0 : lastStart);
    const int32_t group = tiles[screenNo].Group;
    for (int n = 1; n <= kScreenCount; ++n) {
        if (n == screenNo || tiles[n].Group == 0 || tiles[n].Group != group)
            continue;
        const DeskRect& other = tiles[n].Rect;
        for (const int64_t edge : vertical ? std::array{other.Top, other.Bottom} : std::array{other.Left, other.Right}) {
            offer(edge);           // the start edge lines up
            offer(edge - length);  // the end edge lines up
        }
    }
    const int64_t shift = best - start;
    if (vertical)
        return {rect.Left, rect.Top + shift, rect.Right, rect.Bottom + shift};
    return {rect.Left + shift, rect.Top, rect.Right + shift, rect.Bottom};
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

namespace {

// The first tile from `from` on, other than placed tile `screenNo`, of its
// group whose rectangle intersects its own, or 0.
int overlapFrom(const TileBoxes& tiles, int screenNo, int from)
{
    const TileBox& tile = tiles[screenNo];
    for (int n = from; n <= kScreenCount; ++n) {
        if (n != screenNo && tiles[n].Group == tile.Group && Intersect(tiles[n].Rect, tile.Rect))
            return n;
    }
    return 0;
}

}  // namespace

int FindOverlap(const TileBoxes& tiles, int screenNo)
{
    return tiles[screenNo].Group == 0 ? 0 : overlapFrom(tiles, screenNo, 1);
}

std::optional<OverlapPair> FirstOverlap(const TileBoxes& tiles)
{
    // Each pair is looked at once, from its lower tile: a tile overlapping a
    // lower one would have been found with that one already, so the first
    // pair found is the lowest tile that overlaps any, and the lowest tile
    // that overlaps it.
    for (int n = 1; n <= kScreenCount; ++n) {
        if (tiles[n].Group == 0)
            continue;
        if (const int other = overlapFrom(tiles, n, n + 1); other > 0)
            return OverlapPair{n, other};
    }
    return std::nullopt;
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

int ScrollAfterMove(LayoutStep step, bool towardStart, const CanvasTransform& canvas, ScrollAxis axis)
{
    // Layout edges lie within three times the 32-bit range: at the canvas's
    // scale they fit an int.
    const int64_t s = canvas.ToCanvas(step.Step);
    if (s <= 0)
        return axis.Position;
    if (towardStart) {
        // The layout's new start edge lies before the view: scroll back.
        if (canvas.ToCanvas(step.Edge - step.Step) >= axis.Position)
            return axis.Position;
        return axis.Client - s < axis.Position ? Saturated(axis.Position - (axis.Client - s)) : 0;
    }
    // The layout's new end edge lies past the view: scroll on.
    const int64_t viewEnd = int64_t{axis.Client} + axis.Position;
    if (canvas.ToCanvas(step.Edge + step.Step) <= viewEnd)
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

int ScrollAtEdge(int pointer, ScrollAxis axis)
{
    if (pointer < kEdgeZone)
        return std::max(axis.Position - kEdgeStep, 0);
    if (pointer >= axis.Client - kEdgeZone)
        return std::max(std::min(axis.Position + kEdgeStep, axis.Range - axis.Client), axis.Position);
    return axis.Position;
}
