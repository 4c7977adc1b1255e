#include "core/layout/TileDrag.h"

TileDrag::TileDrag(QObject* parent)
    : QObject(parent)
{
    edgeTimer_.setInterval(kEdgeInterval);
    connect(&edgeTimer_, &QTimer::timeout, this, &TileDrag::edgeTick);
}

void TileDrag::Press(int32_t x, int32_t y, QPoint pointer)
{
    downX_ = x;
    downY_ = y;
    pointer_ = pointer;
    pointerFixed_ = false;
}

QPoint TileDrag::Move(int32_t screenNo, QPoint pointer)
{
    const QPoint motion = pointer - pointer_;
    pointer_ = pointer;
    screenNo_ = screenNo;
    return motion;
}

void TileDrag::Release()
{
    edgeTimer_.stop();
    screenNo_ = 0;
}

void TileDrag::PointerMoved(QPoint shift)
{
    pointer_ += shift;
}

void TileDrag::FixPointer()
{
    pointerFixed_ = true;
}

FollowScroll TileDrag::Follow(FollowScroll follow, int position, int motion) const
{
    auto sign = [](int value) { return (value > 0) - (value < 0); };
    if (pointerFixed_ && sign(follow.Position - position) != sign(motion))
        return {position, 0};
    return follow;
}

void TileDrag::SetAtEdge(bool atEdge)
{
    if (atEdge)
        edgeTimer_.start();
    else
        edgeTimer_.stop();
}
