#include "editor/CanvasTransform.h"

#include <algorithm>
#include <limits>

int ToCanvas(int64_t device, int32_t zoomDiv)
{
    return static_cast<int>(
        std::clamp<int64_t>(device / zoomDiv, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QRect ToCanvas(const DeskRect& rect, int32_t zoomDiv)
{
    return QRect(ToCanvas(rect.Left, zoomDiv), ToCanvas(rect.Top, zoomDiv), ToCanvas(rect.Right - rect.Left, zoomDiv),
                 ToCanvas(rect.Bottom - rect.Top, zoomDiv));
}

int64_t ToDesk(int64_t canvas, int32_t zoomDiv)
{
    return canvas * zoomDiv;
}

DeskRect ToDesk(const QRect& rect, int32_t zoomDiv)
{
    return {ToDesk(rect.left(), zoomDiv), ToDesk(rect.top(), zoomDiv),
            ToDesk(int64_t{rect.left()} + rect.width(), zoomDiv), ToDesk(int64_t{rect.top()} + rect.height(), zoomDiv)};
}
