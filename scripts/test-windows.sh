#!/usr/bin/env bash
# Configures and builds the 32-bit Windows build in build/windows and runs its tests under Wine.
# Usage: scripts/test-windows.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
jobs=${LUMO_JOBS:-2}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
fi
cmake --build "$build" -j "$jobs"
# One Wine session (wineserver and Xvfb) for the whole run.
cd "$build"
exec "$root/scripts/wine-run.sh" --session "$build" \
  ctest --output-on-failure -j "$jobs" "$@"
