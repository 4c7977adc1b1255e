#include "core/layout/TileDrag.h"

TileDrag::TileDrag(QObject* parent)
    : QObject(parent)
{
    edgeTimer_.setInterval(kEdgeInterval);
    connect(&edgeTimer_, &QTimer::timeout, this, &TileDrag::edgeTick);
}

void TileDrag::press(int32_t x, int32_t y, QPoint pointer)
{
    downX_ = x;
    downY_ = y;
    pointer_ = pointer;
    pointerFixed_ = false;
}

QPoint TileDrag::move(int32_t screenNo, QPoint pointer)
{
    const QPoint motion = pointer - pointer_;
    pointer_ = pointer;
    screenNo_ = screenNo;
    return motion;
}

void TileDrag::release()
{
    edgeTimer_.stop();
    screenNo_ = 0;
}

void TileDrag::pointerMoved(QPoint shift)
{
    pointer_ += shift;
}

void TileDrag::fixPointer()
{
    pointerFixed_ = true;
}

FollowScroll TileDrag::follow(FollowScroll wanted, int position, int motion) const
{
    auto sign = [](int value) { return (value > 0) - (value < 0); };
    if (pointerFixed_ && sign(wanted.Position - position) != sign(motion))
        return {position, 0};
    return wanted;
}

void TileDrag::setAtEdge(bool atEdge)
{
    if (atEdge)
        edgeTimer_.start();
    else
        edgeTimer_.stop();
}
