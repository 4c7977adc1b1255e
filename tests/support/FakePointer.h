#pragma once

#include "platform/Pointer.h"

#include <vector>

// A pointer that stays where the test puts it and remembers every move.
class FakePointer final : public Pointer {
public:
    QPoint pos() const override { return position; }
    void setPos(QPoint screenPos) override
    {
        position = screenPos;
        moves.push_back(screenPos);
    }

    QPoint position;
    std::vector<QPoint> moves;
};
