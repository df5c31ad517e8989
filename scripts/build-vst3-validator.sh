#!/usr/bin/env bash
# Builds Steinberg's VST3 validator from third_party/vst3-validator (a GPLv3 test tool, never
# linked into a plug-in) with its own CMake build, and prints the program's path.
# Usage: scripts/build-vst3-validator.sh BUILD_DIR [--windows]
#   natively:   BUILD_DIR/bin/Release/validator   (the native build does this itself, tests/vst3)
#   --windows:  BUILD_DIR/bin/validator.exe        (Windows x64, MinGW-w64 -posix compilers,
#               linked statically; run it with 64-bit Wine)
# CC and CXX choose the native compilers; LUMO_JOBS the parallel jobs (2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [--windows]" >&2; exit 2; }
build=$1
cross=()
if [ "${2:-}" = "--windows" ]; then
  # SMTG_CROSS_WINDOWS: the SDK's platform check runs before the toolchain file is read.
  cross=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DSMTG_CROSS_WINDOWS=ON
         -DCMAKE_EXE_LINKER_FLAGS=-static)
elif [ $# -ge 2 ]; then
  echo "$0: unknown option $2" >&2
  exit 2
fi
cmake -Wno-dev -S "$root/third_party/vst3-validator/sdk" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSMTG_ENABLE_VSTGUI_SUPPORT=OFF -DSMTG_CREATE_PLUGIN_LINK=OFF -DSMTG_RUN_VST_VALIDATOR=OFF \
  -DSMTG_ENABLE_VST3_PLUGIN_EXAMPLES=OFF "${cross[@]}" >/dev/null
ninja -C "$build" -j "${LUMO_JOBS:-2}" validator >/dev/null
find "$build/bin" -name 'validator' -o -name 'validator.exe' | head -n 1
