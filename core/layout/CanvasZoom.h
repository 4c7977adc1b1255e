#pragma once

#include "core/layout/ScreenGeometry.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The scales of the layout editor's canvas and how the view follows a change
// of scale, without widgets. A scale is a ZoomDiv: device pixels per canvas
// pixel. The desktop keeps its size in device pixels, so the canvas is
// MaxDeskX / ZoomDiv canvas pixels wide at each scale.

// From the largest picture to the smallest; kActualSize is "Actual Size".
inline constexpr std::array<int32_t, 5> kZoomSteps = {5, 10, 20, 40, 80};
inline constexpr int32_t kActualSize = 10;

// The scale `steps` steps in from `zoomDiv` (out when negative), held at the
// first and the last step.
int32_t ZoomStep(int32_t zoomDiv, int steps);

// The status line's word for a scale: "Zoom 50%", Actual Size being 100%.
QString ZoomText(int32_t zoomDiv);

// The scroll position along one axis that keeps the desktop point shown
// `anchor` view pixels from the view's start at the same place when the
// canvas goes from scale `fromDiv` to `toDiv`, as far as the new scroll
// range allows. `before` is the axis at `fromDiv`; the view keeps its length.
// The point is the middle of the canvas pixel at the anchor.
int ScrollAfterZoom(ScrollAxis before, int anchor, int32_t fromDiv, int32_t toDiv);

// Zoom to Fit: the largest scale at which the parts of the placed tiles that
// lie on the desktop fit a view of `client` canvas pixels, and the scroll
// position that shows them, centred where the canvas allows. When even the
// last step cannot show them all (or no part of them lies on the desktop),
// the last step with their top-left corner at the view's top-left, as far as
// the canvas allows. None when no tile is placed.
struct ZoomFit {
    int32_t ZoomDiv;
    QPoint Scroll;
    bool operator==(const ZoomFit&) const = default;
};
std::optional<ZoomFit> FitToView(const TileBoxes& tiles, DeskLimits desk, QSize client);

// After a zoom to `zoomDiv` that leaves a view of `client` canvas pixels at
// `scroll` showing no part of a placed tile: the scroll position that
// centres tile `selected` when it is placed and lies partly on the desktop,
// else the placed tiles together (from their top-left corner when larger
// than the view), as far as the canvas allows. None while the view shows a
// tile, or no tile lies on the desktop.
std::optional<QPoint> ScrollToTiles(const TileBoxes& tiles, int selected, DeskLimits desk, int32_t zoomDiv,
                                    QPoint scroll, QSize client);

// Wheel turns as whole notches of 120 (eighths of a degree): the small
// deltas of a touchpad add up to a notch, and a turn the other way starts
// afresh.
class WheelNotches {
public:
    // The notches completed by a turn of `angleDelta`, positive away from
    // the user.
    int Add(int angleDelta);

private:
    int rest_ = 0;
};
