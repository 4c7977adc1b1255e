#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <functional>

// The window systems whose displays the environment names.
enum class DisplayServer { X11, Wayland };

// Whether a display answers a connection: an X display such as ":0" or
// "localhost:10.0", or a Wayland compositor's socket such as "wayland-0".
using DisplayProbe = std::function<bool(DisplayServer server, const QString& name)>;

// Whether the window program can reach a display on Linux, decided before
// any window-system plugin is loaded (Qt aborts when the one it loads finds
// no display). `platform` and `display` are Qt's -platform and -display
// options, empty when not given; -platform wins over QT_QPA_PLATFORM. The X11
// plugin (xcb) needs an X display named by -display or DISPLAY that answers
// `probe`, the Wayland ones a compositor named by WAYLAND_DISPLAY that
// answers; without a choice either will do. A display that is named but
// gone (a stale SSH display) counts as none. Every other plugin (offscreen,
// minimal, vnc, eglfs, linuxfb, ...) needs neither. Of a list
// ("wayland;xcb"), one that can start is enough.
bool DisplayAvailable(const QProcessEnvironment& environment, const QString& platform, const QString& display,
                      const DisplayProbe& probe);
