#!/usr/bin/env bash
# Builds the Linux side: the three plug-ins (.so), the stand-in, the reference host, lumo,
# tests and benchmarks, in build/native. Extra arguments go to cmake's configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LUMO_NATIVE_BUILD:-$root/build/native}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
