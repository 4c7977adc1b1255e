#pragma once

#include <QProcessEnvironment>
#include <QString>

// The settings file the program uses. `explicitPath` (--settings FILE), when
// given, names it outright. Otherwise it is "TORVIK.INI" in `programFolder`
// when that file exists there (a portable copy), or when the folder is
// writable by the user and the program is not installed (a copy unpacked
// somewhere, a build folder). An installed copy never creates files beside
// itself, even run by root: one in `installFolder` (where the build installs
// the program), under the system's program folders (/usr, /opt; on Windows
// the Program Files folders), in a folder on the environment's PATH, or in a
// folder named "bin" under the home folder (~/.local/bin). Else, and for
// installed copies, it is the per-user file "torvik-setup/TORVIK.INI" under
// $XDG_CONFIG_HOME, or ~/.config when that is unset (under %APPDATA% on
// Windows). Only decides: nothing is created here; the first save creates the
// missing folder.
QString SettingsFilePath(const QString& programFolder, const QString& installFolder,
                         const QProcessEnvironment& environment, const QString& explicitPath = {});
