#include "core/layout/CanvasZoom.h"

#include "core/layout/CanvasTransform.h"

#include <QRect>

#include <algorithm>
#include <iterator>

namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;

// A scroll position that shows [start, start + length) in a view of
// `client`: centred when it fits, else from its start; within the range.
int ScrollToShow(int start, int length, int client, int range)
{
    const int position = start - std::max(0, (client - length) / 2);
    return std::clamp(position, 0, std::max(0, range - client));
}

// The canvas at scale `zoomDiv` (Whole), and the placed tiles as it draws
// them: the union of their parts on it (Shown).
struct CanvasView {
    QRect Whole;
    QRect Shown;
};
CanvasView ViewAt(const TileBoxes& tiles, DeskLimits desk, int32_t zoomDiv)
{
    const CanvasTransform canvas{zoomDiv};
    CanvasView view{QRect(0, 0, canvas.ToCanvas(desk.MaxX), canvas.ToCanvas(desk.MaxY)), QRect()};
    for (const TileBox& tile : tiles) {
        if (tile.Group != 0)
            view.Shown |= canvas.ToCanvas(tile.Rect).intersected(view.Whole);
    }
    return view;
}

}  // namespace

int32_t ZoomStep(int32_t zoomDiv, int steps)
{
    // A scale between two steps counts as the smaller picture of the two.
    const std::ptrdiff_t last = std::ssize(kZoomSteps) - 1;
    const std::ptrdiff_t at =
        std::min(std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoomDiv) - kZoomSteps.begin(), last);
    return kZoomSteps[static_cast<std::size_t>(std::clamp(at - steps, std::ptrdiff_t{0}, last))];
}

QString ZoomText(int32_t zoomDiv)
{
    return QStringLiteral("Zoom %1%").arg(100.0 * kActualSize / zoomDiv);
}

int ScrollAfterZoom(ScrollAxis before, int anchor, int32_t fromDiv, int32_t toDiv)
{
    const int64_t device = (int64_t{before.Position} + anchor) * fromDiv + fromDiv / 2;
    const int64_t range = int64_t{before.Range} * fromDiv / toDiv;
    const int64_t position = device / toDiv - anchor;
    return static_cast<int>(std::clamp<int64_t>(position, 0, std::max<int64_t>(0, range - before.Client)));
}

std::optional<ZoomFit> FitToView(const TileBoxes& tiles, DeskLimits desk, QSize client)
{
    if (std::none_of(tiles.begin(), tiles.end(), [](const TileBox& tile) { return tile.Group != 0; }))
        return std::nullopt;
    // A layout with no part on the canvas fits no scale; the last step is
    // taken whether it fits or not.
    auto fits = [&](int32_t zoomDiv) {
        const QRect shown = ViewAt(tiles, desk, zoomDiv).Shown;
        return !shown.isEmpty() && shown.width() <= client.width() && shown.height() <= client.height();
    };
    const int32_t zoomDiv = *std::find_if(kZoomSteps.begin(), kZoomSteps.end() - 1, fits);
    const auto [whole, shown] = ViewAt(tiles, desk, zoomDiv);
    return ZoomFit{zoomDiv, {ScrollToShow(shown.left(), shown.width(), client.width(), whole.width()),
                             ScrollToShow(shown.top(), shown.height(), client.height(), whole.height())}};
}

std::optional<QPoint> ScrollToTiles(const TileBoxes& tiles, int selected, DeskLimits desk, int32_t zoomDiv,
                                    QPoint scroll, QSize client)
{
    const auto at = ViewAt(tiles, desk, zoomDiv);
    const QRect whole = at.Whole;
    const QRect shown = at.Shown;
    if (shown.isEmpty())
        return std::nullopt;
    const QRect view(scroll, client);
    const CanvasTransform canvas{zoomDiv};
    const bool showsTile = std::any_of(tiles.begin(), tiles.end(), [&](const TileBox& tile) {
        return tile.Group != 0 && view.intersects(canvas.ToCanvas(tile.Rect).intersected(whole));
    });
    if (showsTile)
        return std::nullopt;
    QRect target = shown;
    if (selected != 0 && tiles[selected].Group != 0) {
        const QRect tile = canvas.ToCanvas(tiles[selected].Rect).intersected(whole);
        if (!tile.isEmpty())
            target = tile;
    }
    return QPoint(ScrollToShow(target.left(), target.width(), client.width(), whole.width()),
                  ScrollToShow(target.top(), target.height(), client.height(), whole.height()));
}

int WheelNotches::Add(int angleDelta)
{
    if ((rest_ > 0 && angleDelta < 0) || (rest_ < 0 && angleDelta > 0))
        rest_ = 0;
    rest_ += angleDelta;
    const int notches = rest_ / kNotch;
    rest_ -= notches * kNotch;
    return notches;
}
