#include "core/layout/MonitorValues.h"

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

DeskSize MonitorSize(int resIndex, bool portrait)
{
    const Resolution& entry = ResTable[static_cast<std::size_t>(resIndex)];
    return portrait ? DeskSize{entry.Height, entry.Width} : DeskSize{entry.Width, entry.Height};
}

std::optional<int32_t> ParseDeskPosition(const QString& text)
{
    bool ok = false;
    const int32_t value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}
