#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix and an X display of its own, passing the
# arguments through and returning the program's exit status. CMake uses it as the emulator of
# the Windows builds, so ctest runs the test executables through it.
#
# 32-bit programs (the default) run under 32-bit Wine in a WINEARCH=win32 prefix, which needs a
# kernel that starts 32-bit programs (scripts/probe-32bit.sh). With LUMO_WINE_ARCH=win64
# (scripts/wine64-run.sh) 64-bit programs run in a WINEARCH=win64 prefix, started by the 64-bit
# loader (wine64) alone, whose server is 64-bit too (scripts/probe-wine64.sh).
#
# Usage: scripts/wine-run.sh program.exe [arguments...]
#        scripts/wine-run.sh --session BUILD_DIR command [arguments...]
#   The second form runs a native command (ctest) with the build's Wine session held open, so the
#   many Wine runs inside it share one wineserver and one Xvfb instead of starting their own.
#
# Prefix: $LUMO_WINEPREFIX, else <build dir>/wineprefix, the build dir being the nearest folder
# above the program that holds a CMakeCache.txt (else the current folder). The first run creates
# it (wineboot, Tahoma for GDI+'s sans-serif family, no crash dialog), under a lock so that
# concurrent runs (ctest -j) wait for it.
#
# Display: runs that share a prefix share one wineserver, so they share one Xvfb too (a desktop
# window bound to a display that disappears takes the session with it). The first run starts
# Xvfb on a free display number; the last one to leave stops the wineserver and Xvfb. Users are
# tracked by pid, so a run that was killed is noticed by the next one.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 program.exe [arguments...]" >&2
  exit 2
fi
session=0
if [ "$1" = "--session" ]; then
  [ $# -ge 3 ] || { echo "usage: $0 --session BUILD_DIR command [arguments...]" >&2; exit 2; }
  session=1
  export LUMO_WINEPREFIX=${LUMO_WINEPREFIX:-$(cd "$2" && pwd)/wineprefix}
  shift 2
fi
program=$1
shift

case ${LUMO_WINE_ARCH:-win32} in
  win32) probe=probe-32bit.sh loader=wine ;;
  win64) probe=probe-wine64.sh loader=${LUMO_WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)} ;;
  *) echo "wine-run: LUMO_WINE_ARCH is win32 or win64, not $LUMO_WINE_ARCH" >&2; exit 2 ;;
esac
if ! no_wine_reason=$("$(dirname "$0")/$probe"); then
  echo "wine-run: $no_wine_reason" >&2
  exit 125
fi

find_build_dir() {
  local dir
  dir=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || dir=$PWD
  while [ "$dir" != "/" ]; do
    [ -f "$dir/CMakeCache.txt" ] && { echo "$dir"; return; }
    dir=$(dirname "$dir")
  done
  echo "$PWD"
}

if [ -n "${LUMO_WINEPREFIX:-}" ]; then
  prefix=$LUMO_WINEPREFIX
else
  prefix=$(find_build_dir "$program")/wineprefix
fi
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
state=$prefix.state            # lock file, Xvfb pid and display, one file per running user
mkdir -p "$state/users"

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEARCH=${LUMO_WINE_ARCH:-win32}
unset WINELOADERNOEXEC
# Programs Wine starts itself (services, wineboot's helpers) use the same loader.
[ "$WINEARCH" = win64 ] && export WINELOADER=$loader

exec 9>"$state/lock"

alive() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }

start_xvfb() {
  local fifo pid display
  fifo=$(mktemp -u "$state/displayfd.XXXXXX")
  mkfifo "$fifo"
  # -displayfd: Xvfb picks a free display number itself and reports it once it is ready.
  setsid Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset 8>"$fifo" \
    >"$state/xvfb.log" 2>&1 &
  pid=$!
  display=$(timeout 20 head -n1 "$fifo")
  rm -f "$fifo"
  if [ -z "$display" ] || ! alive "$pid"; then
    echo "wine-run: Xvfb did not start (see $state/xvfb.log)" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  echo "$pid" >"$state/xvfb.pid"
  echo ":$display" >"$state/display"
}

stop_session() {
  # Called with the lock held and no user left.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  local pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null)
  if alive "$pid"; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do alive "$pid" || break; sleep 0.1; done
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

create_prefix() {
  local started=$SECONDS
  echo "wine-run: creating Wine prefix $prefix" >&2
  rm -rf "$prefix"
  "$loader" wineboot -i >/dev/null 2>&1
  wineserver -w
  if [ ! -d "$prefix/drive_c/windows" ]; then
    echo "wine-run: wineboot failed to create $prefix" >&2
    return 1
  fi
  # GDI+ maps the generic sans-serif family to Microsoft Sans Serif or Tahoma.
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/tahoma*.ttf "$prefix/drive_c/windows/Fonts/"
  # A crashing test must end with an exit status, not wait on a dialog.
  "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  # The Xvfb here has no window manager: unmanaged windows spare every hide and destroy a wait
  # of about 2 s for a manager that never answers.
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.lumo-ready"
  echo "wine-run: prefix ready in $((SECONDS - started)) s" >&2
}

# Enter: make sure the display and the prefix exist, and register as a user.
flock 9
for f in "$state"/users/*; do
  [ -e "$f" ] || continue
  alive "$(basename "$f")" || rm -f "$f"
done
if ! alive "$(cat "$state/xvfb.pid" 2>/dev/null)"; then
  if [ -z "$(ls -A "$state/users")" ]; then
    wineserver -k 2>/dev/null   # a stale session from a killed run
  fi
  start_xvfb || { flock -u 9; exit 125; }
  new_session=1
fi
export DISPLAY
DISPLAY=$(cat "$state/display")
if [ ! -f "$prefix/.lumo-ready" ]; then
  create_prefix || { flock -u 9; exit 125; }
fi
if [ "${new_session:-0}" = 1 ]; then
  # Start the session's server and services here, detached from our output: started by the
  # program instead, they would inherit its stdout and keep ctest waiting for end of file.
  wineserver -p </dev/null >/dev/null 2>&1
  "$loader" wineboot </dev/null >/dev/null 2>&1
fi
touch "$state/users/$$"
flock -u 9

leave() {
  flock 9
  rm -f "$state/users/$$"
  for f in "$state"/users/*; do
    [ -e "$f" ] || continue
    alive "$(basename "$f")" || rm -f "$f"
  done
  if [ -z "$(ls -A "$state/users")" ]; then
    stop_session
  fi
  flock -u 9
}
trap leave EXIT
trap 'exit 130' INT TERM

if [ $session -eq 1 ]; then
  "$program" "$@"
else
  "$loader" "$program" "$@"
fi
status=$?
exit $status
