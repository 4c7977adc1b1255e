#pragma once

#include "core/platform/Pointer.h"

// The window system's pointer.
class QtPointer final : public Pointer {
public:
    QPoint pos() const override;
    bool setPos(QPoint screenPos) override;
};
