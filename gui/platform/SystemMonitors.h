#pragma once

#include "core/layout/ComputerMonitors.h"

#include <vector>

// This computer's monitors as the window system reports them, in its own
// order: the size in device pixels (the platform's own size of the screen,
// not Qt's scaled one) and the position as the system places it. Needs a
// QGuiApplication.
std::vector<ComputerMonitor> SystemMonitors();
