#pragma once

#include <QProcessEnvironment>
#include <QString>

// The settings file the program uses. `explicitPath` (--settings FILE), when
// given, names it outright. Otherwise it is "TORVIK.INI" in `programFolder`
// when that file exists there or the folder is writable by the user (a
// portable copy, a build folder); else the per-user file
// "torvik-setup/TORVIK.INI" under $XDG_CONFIG_HOME, or ~/.config when that is
// unset (under %APPDATA% on Windows). Only decides: nothing is created here;
// the first save creates the missing folder.
QString SettingsFilePath(const QString& programFolder, const QProcessEnvironment& environment,
                         const QString& explicitPath = {});
