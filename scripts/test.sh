#!/usr/bin/env bash
# Everything, from a fresh Debian 12 machine: installs what is missing, builds both platforms and
# runs every test (native, under ThreadSanitizer for the concurrent cases, and under Wine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== native build and tests" >&2
"$root/scripts/build-native.sh"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

if [ -x "$root/scripts/test-sanitizers.sh" ]; then
  echo "== sanitizer builds and tests" >&2
  "$root/scripts/test-sanitizers.sh"
fi

echo "== Windows build and tests under Wine" >&2
"$root/scripts/test-windows.sh"
