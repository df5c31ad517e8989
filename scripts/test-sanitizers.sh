#!/usr/bin/env bash
# Native tests again under AddressSanitizer + UndefinedBehaviorSanitizer, and the concurrent
# cases (parameters applied while the graph paints) under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

asan=$root/build/asan
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=address,undefined >/dev/null
cmake --build "$asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$asan" --output-on-failure -j "$jobs"

tsan=$root/build/tsan
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_SANITIZE=thread >/dev/null
cmake --build "$tsan" -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$tsan" --output-on-failure -j "$jobs"
