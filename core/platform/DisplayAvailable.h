#pragma once

#include <QProcessEnvironment>
#include <QString>

// Whether the window program can reach a display on Linux, decided before
// any window-system plugin is loaded (Qt aborts when the one it loads finds
// no display). `platform` and `display` are Qt's -platform and -display
// options, empty when not given; -platform wins over QT_QPA_PLATFORM. The X11
// plugin (xcb) needs DISPLAY or -display, the Wayland ones WAYLAND_DISPLAY;
// without a choice either will do. Every other plugin (offscreen, minimal,
// vnc, eglfs, linuxfb, ...) needs neither. Of a list ("wayland;xcb"), one
// that can start is enough.
bool DisplayAvailable(const QProcessEnvironment& environment, const QString& platform, const QString& display);
