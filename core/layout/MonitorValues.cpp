#include "core/layout/MonitorValues.h"

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
    return {kOwnSize, width < height};
}

Resolution LandscapeOf(int32_t width, int32_t height)
{
    return {std::max(width, height), std::min(width, height)};
}

DeskSize MonitorSize(int resIndex, bool portrait)
{
    return Turned(ResTable[static_cast<std::size_t>(resIndex)], portrait);
}

DeskSize Turned(Resolution resolution, bool portrait)
{
    return portrait ? DeskSize{resolution.Height, resolution.Width} : DeskSize{resolution.Width, resolution.Height};
}

std::optional<int32_t> ParseDeskPosition(const QString& text)
{
    bool ok = false;
    const int32_t value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}
