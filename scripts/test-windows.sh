#!/usr/bin/env bash
# Configures and builds the 32-bit Windows build in build/windows (plug-ins, lumo.exe and every
# test program) and runs its tests under Wine.
# Usage: scripts/test-windows.sh [--without-wine] [ctest arguments...]
#   --without-wine: for a machine that cannot start 32-bit programs. Still builds everything,
#   then runs only the tests that need no Wine (label no-wine: the DLLs' exports, imports, debug
#   sections and size; the release archive) and says how many of the others did not run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
jobs=${LUMO_JOBS:-2}
with_wine=1
if [ "${1:-}" = "--without-wine" ]; then
  with_wine=0
  shift
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
fi
cmake --build "$build" -j "$jobs"
cd "$build"
if [ $with_wine -eq 0 ]; then
  ctest --output-on-failure -j "$jobs" -L no-wine "$@"
  exit 0
fi
# One Wine session (wineserver and Xvfb) for the whole run.
exec "$root/scripts/wine-run.sh" --session "$build" \
  ctest --output-on-failure -j "$jobs" "$@"
