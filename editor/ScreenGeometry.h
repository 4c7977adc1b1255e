#pragma once

#include "setup/KvmConfig.h"
#include "setup/OneBased.h"

#include <QRect>
#include <QString>

#include <array>
#include <optional>
#include <cstdint>

// The editor's tile geometry without widgets: tile numbering, the resolution
// table, where a tile and its texts stand on the canvas, the tables that
// follow from the monitor styles, and the editing rules: snapping and
// clamping a dragged tile, whole-layout moves and the overlap search.

// A monitor resolution in device pixels, landscape.
struct Resolution {
    int32_t Width;
    int32_t Height;
};

inline constexpr int kResCount = 21;
inline constexpr int kDefaultResIndex = 10;  // 1920 x 1080

inline constexpr std::array<Resolution, kResCount> ResTable = {{
    {640, 480},   {800, 600},   {1024, 768},  {1280, 720},  {1280, 1024}, {1360, 768},  {1366, 768},
    {1440, 900},  {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}, {2048, 1080}, {2048, 1536},
    {2560, 1080}, {2560, 1440}, {2560, 1600}, {2560, 2048}, {3440, 1440}, {3840, 2160}, {4096, 2160},
}};

// Tile n (1..80): its computer port across the cascade (0..19) and its
// monitor (1..4).
inline constexpr int PortIndexOf(int screenNo) { return (screenNo - 1) % kPortCount; }
inline constexpr int MonitorNoOf(int screenNo) { return (screenNo + 19) / kPortCount; }

// The resolution entry of a monitor size: the first entry equal to the size,
// or to the size turned on its side (then Portrait). A size without an entry
// gets 1920 x 1080, portrait when it is higher than wide.
struct ResolutionMatch {
    int ResIndex;
    bool Portrait;
    bool operator==(const ResolutionMatch&) const = default;
};
ResolutionMatch MatchResolution(int32_t width, int32_t height);

// Layout values come from files and the switch and may be anything a 32-bit
// integer holds: sums and moves of them are worked out in 64 bits. A result
// that goes back into a 32-bit table value or field is held at the nearest
// end of the 32-bit range.
int32_t Saturated(int64_t value);

// A device-pixel value on the canvas: divided by `zoomDiv`, truncating
// toward zero, held within the range of int.
int CanvasPixels(int64_t device, int32_t zoomDiv);

// A tile's rectangle on the canvas, however large or far out.
QRect TileCanvasRect(int32_t deskX, int32_t deskY, int32_t deskWidth, int32_t deskHeight, int32_t zoomDiv);

// Where the title and the size text of a tile `height` canvas pixels high
// start (their top edge). Tiles up to 50 pixels high move the texts up.
struct TextTops {
    int Title;
    int Size;
    bool operator==(const TextTops&) const = default;
};
TextTops TileTextTops(int height);

// The left edge of a text `textWidth` wide centred on a tile `width` wide.
inline constexpr int CenteredLeft(int width, int textWidth) { return (width - textWidth) / 2; }

// The eight 6 x 6 selection marks of a tile: corners, then the middles of the
// top and bottom edges, then of the left and right edges.
std::array<QRect, 8> SelectionMarks(int width, int height);

// Monitors of a style; a style outside 0..7 counts as one monitor.
int32_t MonitorsOfStyle(int32_t style);

// Recomputes MTotal and MConfig of every computer port from its style and
// the sizes in Port. A port with a style outside 0..7 is left as it is. Sums
// beyond the 32-bit range are held at its end.
void StoreMonitorTotals(KVM_LAYOUT& layout);

// The size of resolution entry `resIndex` (0..20), turned on its side when
// `portrait`.
DeskSize MonitorSize(int resIndex, bool portrait);

// A typed desktop position: a decimal integer within +-1,000,000,000.
// Anything else is no position.
std::optional<int32_t> ParseDeskPosition(const QString& text);

// Master port k and Slave k (k = 1..4) exclude each other: whether a monitor
// of computer port `portIndex` (0..19) conflicts with one of `otherIndex`.
bool PortsExclude(int portIndex, int otherIndex);

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

// Snaps the rectangle of tile `screenNo`, dragged to `proposed`, to the
// nearest edge within `snapRange` on each axis: the desktop border or an
// edge of another tile of its group, however far away on the other axis.
// At equal distance the border beats a tile and a lower tile number a higher
// one; a left/right (top/bottom) tie snaps the left (top) edge. The size is
// kept.
DeskRect SnapToEdges(const TileBoxes& tiles, int screenNo, DeskRect proposed, DeskLimits desk, int32_t snapRange);

// Moves a rectangle back inside the desktop: left, then top, then right,
// then bottom border.
DeskRect ClampToDesk(DeskRect rect, DeskLimits desk);

// Half-open rectangles intersect when they share at least one pixel.
bool Intersect(const DeskRect& a, const DeskRect& b);

// The first tile (ascending) of the same group as placed tile `screenNo`
// whose rectangle intersects its own, or 0.
int FindOverlap(const TileBoxes& tiles, int screenNo);

// The first overlapping pair: the lowest tile that overlaps any tile of its
// group, and the lowest tile that overlaps it; {0, 0} when none do.
struct OverlapPair {
    int First = 0;
    int Second = 0;
    bool operator==(const OverlapPair&) const = default;
};
OverlapPair FirstOverlap(const TileBoxes& tiles);

// The whole layout moves one step: by its tallest (widest) monitor, but not
// past the desktop's border. A layout lying beyond the border it moves
// toward gets a negative step that brings it back onto the desktop.
enum class MoveDirection { Up, Down, Left, Right };
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
int ScrollAfterMove(LayoutStep step, bool towardStart, int32_t zoomDiv, ScrollAxis axis);

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
