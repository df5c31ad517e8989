#!/usr/bin/env bash
# Everything, from a fresh Debian 12 machine: installs what is missing, builds the three builds and
# runs every test: native, under the sanitizers, the 32-bit Windows build (the Buzz DLLs, lumo.exe)
# under 32-bit Wine and the 64-bit Windows build (the VST3 bundle, the CLAP file) under 64-bit Wine.
#
# 32-bit Wine needs a kernel that starts 32-bit programs (scripts/probe-32bit.sh asks); 64-bit Wine
# does not, only its 64-bit loader (scripts/probe-wine64.sh). Where one of them cannot run, its
# Windows build is still built in full and its files checked without running them, and the command
# passes. The closing lines say what ran under 32-bit and under 64-bit Wine, and what did not and
# why. LUMO_REQUIRE_WINE=1 makes a machine that cannot run both fail instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

require_wine() {
  if [ "${LUMO_REQUIRE_WINE:-0}" = 1 ]; then
    echo "test.sh: LUMO_REQUIRE_WINE=1, but $1" >&2
    exit 1
  fi
}
no_wine32_reason=$("$root/scripts/probe-32bit.sh") || true
[ -z "$no_wine32_reason" ] || require_wine "$no_wine32_reason"

"$root/scripts/install-deps.sh"
no_wine64_reason=$("$root/scripts/probe-wine64.sh") || true
[ -z "$no_wine64_reason" ] || require_wine "$no_wine64_reason"

echo "== native build and tests" >&2
"$root/scripts/build-native.sh"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

echo "== sanitizer builds and tests" >&2
"$root/scripts/test-sanitizers.sh"

# windows BITS WHAT REASON [--64]: the Windows build of BITS-bit files (WHAT) and its tests under
# that Wine, or only the checks that need none when REASON says why it cannot run; one closing line.
summary=()
windows() {
  local bits=$1 what=$2 reason=$3 build=build/windows
  shift 3
  [ "${1:-}" = --64 ] && build=build/win64
  local under_wine
  if [ -z "$reason" ]; then
    echo "== $bits-bit Windows build and tests under $bits-bit Wine" >&2
    "$root/scripts/test-windows.sh" "$@"
    under_wine=$(ctest --test-dir "$root/$build" -N -LE no-wine | sed -n 's/^Total Tests: //p')
    summary+=("   $bits-bit Wine: ran the ${under_wine} tests of $build ($what); all passed.")
  else
    echo "== $bits-bit Windows build, and the checks that need no Wine" >&2
    "$root/scripts/test-windows.sh" "$@" --without-wine
    under_wine=$(ctest --test-dir "$root/$build" -N -LE no-wine | sed -n 's/^Total Tests: //p')
    summary+=("   $bits-bit Wine: NOT RUN, the ${under_wine} tests of $build ($what) that need it:"
              "     $reason." "     Built in full; checked without Wine (exports, imports, debug sections, size, release archive).")
  fi
}
windows 32 "the Buzz DLLs, lumo.exe" "$no_wine32_reason"
windows 64 "the VST3 bundle, the CLAP file" "$no_wine64_reason" --64

{
  echo
  echo "== Windows tests under Wine"
  printf '%s\n' "${summary[@]}"
  if [ -n "$no_wine32_reason$no_wine64_reason" ]; then
    echo "   To run them: 32-bit Wine needs a kernel that starts 32-bit x86 programs, 64-bit Wine the"
    echo "   package wine64; LUMO_REQUIRE_WINE=1 makes this command fail where it cannot run them."
  fi
} >&2
