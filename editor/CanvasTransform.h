#pragma once

#include "editor/ScreenGeometry.h"

#include <QRect>

#include <cstdint>

// The canvas shows the shared desktop scaled down: one canvas pixel stands
// for `zoomDiv` device pixels. These are the editor's only conversions
// between the two; device values divide truncating toward zero.

// A device-pixel position or length in canvas pixels, held within the range
// of int.
int ToCanvas(int64_t device, int32_t zoomDiv);
// A desktop rectangle on the canvas: its corner and its size are converted
// each on their own, so every tile of a monitor size has the same canvas
// size wherever it lies.
QRect ToCanvas(const DeskRect& rect, int32_t zoomDiv);

// A canvas-pixel position or length in device pixels.
int64_t ToDesk(int64_t canvas, int32_t zoomDiv);
// A canvas rectangle on the desktop.
DeskRect ToDesk(const QRect& rect, int32_t zoomDiv);
