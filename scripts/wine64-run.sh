#!/usr/bin/env bash
# scripts/wine-run.sh for 64-bit Windows programs: a WINEARCH=win64 prefix of the build's own
# (<build dir>/wineprefix), everything started by the 64-bit loader wine64, so it also runs where
# the kernel cannot start 32-bit programs. The 64-bit toolchain (cmake/mingw-x86_64.cmake) makes it
# the build's emulator. Usage as scripts/wine-run.sh's.
export LUMO_WINE_ARCH=win64
exec "$(dirname "$0")/wine-run.sh" "$@"
