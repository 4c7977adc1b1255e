#pragma once

#include "setup/KvmConfig.h"

#include <QRect>

#include <array>
#include <cstdint>

// The editor's tile geometry without widgets: tile numbering, the resolution
// table, where a tile and its texts stand on the canvas, and the tables that
// follow from the monitor styles.

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

// A tile's rectangle on the canvas: device pixels divided by `zoomDiv`,
// truncating toward zero.
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
// the sizes in Port. A port with a style outside 0..7 is left as it is.
void StoreMonitorTotals(KVM_LAYOUT& layout);
