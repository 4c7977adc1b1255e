#pragma once

#include "core/config/KvmConfig.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The values the editor's bottom panel shows and takes for a tile: the
// monitor resolutions it offers, the entry a size matches, and a typed
// position.

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

// The resolution index of a monitor whose size has no entry: it keeps its
// own size, shown as an entry of its own after the table's.
inline constexpr int kOwnSize = kResCount;

// The resolution entry of a monitor size: the first entry equal to the size,
// or to the size turned on its side (then Portrait). A size without an entry
// gets kOwnSize, portrait when it is higher than wide.
struct ResolutionMatch {
    int ResIndex;
    bool Portrait;
    bool operator==(const ResolutionMatch&) const = default;
};
ResolutionMatch MatchResolution(int32_t width, int32_t height);

// A monitor size as the list names it: landscape, the longer side first.
Resolution LandscapeOf(int32_t width, int32_t height);

// The size of resolution entry `resIndex` (0..20), turned on its side when
// `portrait`.
DeskSize MonitorSize(int resIndex, bool portrait);
// A resolution turned on its side when `portrait`.
DeskSize Turned(Resolution resolution, bool portrait);

// A typed desktop position: a decimal integer, any 32-bit value.
// Anything else is no position.
std::optional<int32_t> ParseDeskPosition(const QString& text);
