#!/usr/bin/env bash
# Builds the Debian package build/package/torvik-setup_<version>-1_<arch>.deb
# with CPack's DEB generator from a stripped Release build; dist/CMakeLists.txt
# holds the package's fields and cmake/DebianPackageFiles.cmake what it adds
# to the installed tree.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022
out="$PWD/build/package"
build="$out/release"

# Release as run.sh builds it (GCC's optimiser warns falsely where the debug
# builds, which treat warnings as errors, do not), with the flags Debian
# builds its packages with, every hardening feature included: stack
# protector, fortified functions, relocations read-only and bound at start.
# CMake knows no CPPFLAGS: the preprocessor's flags go with the compiler's.
# (The programs are C++ alone; CFLAGS would go unused.)
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
if ! { cmake --build "$build" --target torvik-setup torvik-sim \
       && cpack --config "$build/CPackConfig.cmake" -B "$out"; } >"$out/build.log" 2>&1; then
  cat "$out/build.log" >&2
  exit 1
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
echo "$out/torvik-setup_${version}-1_$(dpkg --print-architecture).deb"
