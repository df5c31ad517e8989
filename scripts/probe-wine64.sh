#!/usr/bin/env bash
# Can 64-bit Wine run here? Its loader (wine64) and server (wineserver64) are 64-bit programs, so
# it needs no 32-bit execution, only Debian's wine64 package. Asked directly: the loader must be
# installed and start (wine64 --version). Exits 0 when it does; otherwise prints why on one line
# and exits 1.
# Usage: scripts/probe-wine64.sh
#   $LUMO_WINE64 names the loader to ask instead of wine64 on the PATH or /usr/lib/wine/wine64
#   (its test points it at programs that cannot start, to see the other branch).
set -uo pipefail

loader=${LUMO_WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
if [ ! -e "$loader" ]; then
  echo "64-bit Wine cannot run here: $loader is missing (Debian package wine64)"
  exit 1
fi
error=$("$loader" --version 2>&1 >/dev/null)
status=$?
[ $status -eq 0 ] && exit 0
echo "64-bit Wine cannot run here: $loader does not start (exit status $status${error:+: ${error##*: }})"
exit 1
