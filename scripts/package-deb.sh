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
# builds, which treat warnings as errors, do not).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTORVIK_TESTS=OFF -DTORVIK_BENCH=OFF >/dev/null
if ! { cmake --build "$build" --target torvik-setup torvik-sim \
       && cpack --config "$build/CPackConfig.cmake" -B "$out"; } >"$out/build.log" 2>&1; then
  cat "$out/build.log" >&2
  exit 1
fi
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
echo "$out/torvik-setup_${version}-1_$(dpkg --print-architecture).deb"
