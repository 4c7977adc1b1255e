#pragma once

#include "core/layout/ScreenGeometry.h"

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <cstdint>

// The layout editor's drag of a tile with the mouse, as the window follows
// it: where the press landed inside the tile (DownX, DownY, canvas pixels:
// the pointer keeps that place on the tile while it drags it), where the
// pointer is on the screen, whether the pointer refused to be moved during
// this drag, and the tile that scrolling at the view's edge takes along.
// While the drag holds the pointer at the view's edge, edgeTick comes every
// kEdgeInterval ms for the window to scroll toward it. Without widgets: the
// window maps the points and scrolls; the model keeps where the monitor goes.
class TileDrag : public QObject {
    Q_OBJECT

public:
    explicit TileDrag(QObject* parent = nullptr);

    // A left press at (x, y) inside a tile, the pointer at `pointer`.
    void press(int32_t x, int32_t y, QPoint pointer);
    // The pointer moved to `pointer`, dragging tile `screenNo`; answers the
    // motion since the press or the last move.
    QPoint move(int32_t screenNo, QPoint pointer);
    // The release: no tile to take along, no scrolling at the edge.
    void release();

    int32_t DownX() const { return downX_; }
    int32_t DownY() const { return downY_; }
    // Where the pointer is, in screen coordinates.
    QPoint pointer() const { return pointer_; }
    // The tile that scrolling at the edge takes along, 0 = none.
    int32_t screenNo() const { return screenNo_; }

    // The view scrolled after the tile, and the pointer went along by `shift`.
    void pointerMoved(QPoint shift);
    // The pointer refused to move: it is not asked again during this drag.
    void fixPointer();
    bool pointerFixed() const { return pointerFixed_; }
    // How the view follows the tile along one axis: `wanted` as the tile's
    // place asks, the view being at `position` and the pointer's last motion
    // `motion` along the axis. A tile under a pointer that cannot be moved
    // back stays beyond the edge: only a motion outward scrolls on, else the
    // view would run at every motion.
    FollowScroll follow(FollowScroll wanted, int position, int motion) const;

    // Whether the pointer is held at the view's edge: (re)starts or stops
    // the ticks.
    void setAtEdge(bool atEdge);

signals:
    void edgeTick();

private:
    int32_t downX_ = 0;
    int32_t downY_ = 0;
    QPoint pointer_;
    int32_t screenNo_ = 0;
    bool pointerFixed_ = false;
    QTimer edgeTimer_;
};
