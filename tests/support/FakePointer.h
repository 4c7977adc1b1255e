#pragma once

#include "core/platform/Pointer.h"

#include <vector>

// A pointer that stays where the test puts it and remembers every move it
// was sent; one that is not `movable` refuses them, as on Wayland.
class FakePointer final : public Pointer {
public:
    QPoint pos() const override { return position; }
    bool setPos(QPoint screenPos) override
    {
        moves.push_back(screenPos);
        if (movable)
            position = screenPos;
        return movable;
    }

    QPoint position;
    bool movable = true;
    std::vector<QPoint> moves;
};
