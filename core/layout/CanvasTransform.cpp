#include "core/layout/CanvasTransform.h"

#include <algorithm>
#include <limits>

int CanvasTransform::ToCanvas(int64_t device) const
{
    return static_cast<int>(
        std::clamp<int64_t>(device / ZoomDiv, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QRect CanvasTransform::ToCanvas(const DeskRect& rect) const
{
    return QRect(ToCanvas(rect.Left), ToCanvas(rect.Top), ToCanvas(rect.Right - rect.Left),
                 ToCanvas(rect.Bottom - rect.Top));
}

int64_t CanvasTransform::ToDesk(int64_t canvas) const
{
    return canvas * ZoomDiv;
}

DeskRect CanvasTransform::ToDesk(const QRect& rect) const
{
    return {ToDesk(rect.left()), ToDesk(rect.top()), ToDesk(int64_t{rect.left()} + rect.width()),
            ToDesk(int64_t{rect.top()} + rect.height())};
}
