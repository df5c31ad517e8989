#!/usr/bin/env bash
# Configures and builds a Windows build and runs its tests under Wine: by default the 32-bit one in
# build/windows (the Buzz plug-ins, lumo.exe and every test program) under 32-bit Wine; with --64
# the 64-bit one in build/win64 (the VST3 bundle, the CLAP file and their tests) under 64-bit Wine.
# Usage: scripts/test-windows.sh [--64] [--without-wine] [ctest arguments...]
#   --without-wine: for a machine that cannot run that Wine. Still builds everything, then runs
#   only the tests that need no Wine (label no-wine: the files' exports, imports, debug sections
#   and size; the release archive).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
toolchain=$root/cmake/mingw-i686.cmake
wine_run=$root/scripts/wine-run.sh
jobs=${LUMO_JOBS:-2}
if [ "${1:-}" = "--64" ]; then
  build=$root/build/win64
  toolchain=$root/cmake/mingw-x86_64.cmake
  wine_run=$root/scripts/wine64-run.sh
  shift
fi
with_wine=1
if [ "${1:-}" = "--without-wine" ]; then
  with_wine=0
  shift
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain"
fi
cmake --build "$build" -j "$jobs"
cd "$build"
if [ $with_wine -eq 0 ]; then
  ctest --output-on-failure -j "$jobs" -L no-wine "$@"
  exit 0
fi
# One Wine session (wineserver and Xvfb) for the whole run.
exec "$wine_run" --session "$build" ctest --output-on-failure -j "$jobs" "$@"
