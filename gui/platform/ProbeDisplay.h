#pragma once

#include "core/platform/DisplayAvailable.h"

#include <QString>

// Whether display `name` of `server` answers: a connection to it is made
// and closed again where the window-system plugin would make it (through
// libxcb for X11, to the compositor's socket for Wayland). Linux only.
bool ProbeDisplay(DisplayServer server, const QString& name);
