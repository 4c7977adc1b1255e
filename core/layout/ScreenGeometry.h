#pragma once

#include "core/config/KvmConfig.h"
#include "core/config/OneBased.h"

#include <cstdint>
#include <optional>

struct CanvasTransform;

// The editing rules of the layout, without widgets: snapping and clamping a
// dragged tile, the overlap search, and whole-layout moves with the
// scrolling that keeps them in view. All in device pixels, except where the
// view's scroll bars are concerned.

// A rectangle on the desktop in device pixels, half-open: Right and Bottom
// are the first column and row outside it. 64 bits, so that a tile anywhere
// in the 32-bit range keeps its edges and size.
struct DeskRect {
    int64_t Left = 0;
    int64_t Top = 0;
    int64_t Right = 0;
    int64_t Bottom = 0;
    bool operator==(const DeskRect&) const = default;
};

// What the layout rules know of tile n: its group (0 = not placed) and its
// rectangle.
struct TileBox {
    int32_t Group = 0;
    DeskRect Rect;
};
using TileBoxes = OneBased<TileBox, kScreenCount>;

// The desktop the tiles are kept on: 0..MaxX by 0..MaxY device pixels.
struct DeskLimits {
    int32_t MaxX;
    int32_t MaxY;
};

// A direction on the desktop: of a whole-layout move, or of a tile's
// keyboard step.
enum class MoveDirection { Up, Down, Left, Right };

// How near, in canvas pixels, an edge pulls the edge of a dragged tile onto
// it.
inline constexpr int kSnapDistance = 5;

// Snaps the rectangle of tile `screenNo`, dragged to `proposed`, to the
// nearest edge within `snapRange` device pixels on each axis: the desktop border or an
// edge of another tile of its group, however far away on the other axis.
// At equal distance the border beats a tile and a lower tile number a higher
// one; a left/right (top/bottom) tie snaps the left (top) edge. The size is
// kept.
DeskRect SnapToEdges(const TileBoxes& tiles, int screenNo, DeskRect proposed, DeskLimits desk, int64_t snapRange);

// Where the keyboard's alignment step takes the rectangle of tile
// `screenNo` moving in `direction`: the nearest position on the way where
// its moving edge or its opposite edge lines up with an edge of another
// placed tile of its group, or its moving edge meets the desktop border.
// Positions that would put it off the desktop do not count; without one
// the rectangle stays where it is. The size is kept.
DeskRect NextAlignment(const TileBoxes& tiles, int screenNo, DeskRect rect, MoveDirection direction,
                       DeskLimits desk);

// Moves a rectangle back inside the desktop: left, then top, then right,
// then bottom border.
DeskRect ClampToDesk(DeskRect rect, DeskLimits desk);

// Half-open rectangles intersect when they share at least one pixel.
bool Intersect(const DeskRect& a, const DeskRect& b);

// The first tile (ascending) of the same group as placed tile `screenNo`
// whose rectangle intersects its own, or 0.
int FindOverlap(const TileBoxes& tiles, int screenNo);

// The first overlapping pair: the lowest tile that overlaps any tile of its
// group, and the lowest tile that overlaps it; none when no two overlap.
struct OverlapPair {
    int First = 0;
    int Second = 0;
    bool operator==(const OverlapPair&) const = default;
};
std::optional<OverlapPair> FirstOverlap(const TileBoxes& tiles);

// The whole layout moves one step: by its tallest (widest) monitor, but not
// past the desktop's border. A layout lying beyond the border it moves
// toward gets a negative step that brings it back onto the desktop.
struct LayoutStep {
    int64_t Step = 0;  // device pixels in the direction of the move
    int64_t Edge = 0;  // the layout's leading edge before the move
    bool operator==(const LayoutStep&) const = default;
};
LayoutStep MoveStep(const TileBoxes& tiles, MoveDirection direction, DeskLimits desk);

// The smallest left and top of the placed tiles, starting from the far
// desktop border: how far Move to Top-Left shifts the layout.
DeskOffset LayoutTopLeft(const TileBoxes& tiles, DeskLimits desk);

// A scroll bar of the canvas in canvas pixels: its position, the visible
// length (client) and the length of the content (range).
struct ScrollAxis {
    int Position;
    int Client;
    int Range;
};

// The scroll position that keeps a layout moved by `step` in view on the
// axis of the move, its leading edge being `step.Edge` before the move.
int ScrollAfterMove(LayoutStep step, bool towardStart, const CanvasTransform& canvas, ScrollAxis axis);

// Scrolling that follows a dragged tile out of the view on one axis: the new
// scroll position, and how far to move the pointer to stay on the tile.
struct FollowScroll {
    int Position;
    int PointerShift;
    bool operator==(const FollowScroll&) const = default;
};
// `viewStart` is the tile's edge relative to the view, `size` its length,
// both in canvas pixels.
FollowScroll ScrollToFollow(int viewStart, int size, ScrollAxis axis);

// Scrolling while a drag holds the pointer still at the view's edge, where it
// cannot push further: within kEdgeZone view pixels of an edge, or beyond
// it, each tick (every kEdgeInterval ms) scrolls kEdgeStep toward that
// edge, not past the canvas. `pointer` is the pointer's place relative to
// the view; the answer is the new scroll position.
constexpr int kEdgeZone = 8;
constexpr int kEdgeStep = 40;
constexpr int kEdgeInterval = 40;
int ScrollAtEdge(int pointer, ScrollAxis axis);
