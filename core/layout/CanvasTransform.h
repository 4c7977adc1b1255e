#pragma once

#include "core/layout/ScreenGeometry.h"

#include <QRect>

#include <cstdint>

// The canvas shows the shared desktop scaled down: one canvas pixel stands
// for ZoomDiv device pixels. These are the editor's only conversions
// between the two; device values divide truncating toward zero.
struct CanvasTransform {
    int32_t ZoomDiv = 10;  // device pixels per canvas pixel

    // A device-pixel position or length in canvas pixels, held within the
    // range of int.
    int ToCanvas(int64_t device) const;
    // A desktop rectangle on the canvas: its corner and its size are
    // converted each on their own, so every tile of a monitor size has the
    // same canvas size wherever it lies.
    QRect ToCanvas(const DeskRect& rect) const;

    // A canvas-pixel position or length in device pixels.
    int64_t ToDesk(int64_t canvas) const;
    // A canvas rectangle on the desktop.
    DeskRect ToDesk(const QRect& rect) const;
};
