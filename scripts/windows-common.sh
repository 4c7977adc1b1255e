# Sourced by the Windows scripts: where the Windows Qt is kept and how Wine is
# started. Not a program of its own.

# Wine's own programs (Debian's wine64 package keeps them off PATH).
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# The Windows Qt is built once per machine, outside any clone, into a folder
# named by the Qt version it is built from and by the content of the script
# that builds it: a changed script or a new Qt builds anew, anything else
# reuses what is there. TORVIK_WINDOWS_QT_CACHE moves the cache.
windows_qt_cache="${TORVIK_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/torvik-setup}"
windows_qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null | sed 's/[+~-].*//')"
windows_qt_key="$(sha256sum "$(dirname "${BASH_SOURCE[0]}")/build-windows-qt.sh" | cut -c1-12)"
windows_qt="$windows_qt_cache/qt-${windows_qt_version:-unknown}-mingw-$windows_qt_key"
windows_qt_toolchain="$windows_qt/lib/cmake/Qt6/qt.toolchain.cmake"
