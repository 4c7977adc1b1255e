#pragma once

#include "core/layout/ComputerMonitors.h"

#include <vector>

// This computer's monitors as the window system reports them, in its own
// order: the size in device pixels (Qt's size times the screen's device
// pixel ratio) and the position as the system places it. Needs a
// QGuiApplication.
std::vector<ComputerMonitor> SystemMonitors();
