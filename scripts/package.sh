#!/usr/bin/env bash
# Makes the release archive dist/tarvo-lumo-VERSION-win32.zip: the three Windows DLLs, a short
# guide (packaging/README.txt) and the licence, in a folder tarvo-lumo-VERSION. VERSION is the
# project() version in CMakeLists.txt. It builds the Windows side and runs its tests under Wine
# first (the archive test among them), then packs the DLLs of that same build and checks that
# the archive holds exactly them.
#
# Usage: scripts/package.sh
#        scripts/package.sh --from-build BUILD_DIR OUT_DIR
#   The second form only packs the DLLs of an existing build into OUT_DIR (no build, no tests);
#   the archive test uses it. The first refuses to run on a machine that cannot start 32-bit
#   programs (scripts/probe-32bit.sh), where the DLLs could not be tested.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

version=$(sed -n 's/^project(TarvoLumo VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no VERSION in the project() line of CMakeLists.txt" >&2; exit 1; }
machines=("Tarvo Lumo-31" "Tarvo Lumo-20" "Tarvo Lumo-15")

# pack BUILD_DIR OUT_DIR: writes OUT_DIR/tarvo-lumo-VERSION-win32.zip and prints its path.
pack() {
  local build=$1 out=$2 stage name
  name=tarvo-lumo-$version
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' RETURN
  mkdir -p "$stage/$name" "$out"
  for machine in "${machines[@]}"; do
    [ -f "$build/plugins/$machine.dll" ] || { echo "package.sh: $build/plugins/$machine.dll is missing" >&2; return 1; }
    cp "$build/plugins/$machine.dll" "$stage/$name/"
  done
  # Text files with Windows line ends, for Notepad.
  sed "s/@VERSION@/$version/; s/\$/\r/" "$root/packaging/README.txt" >"$stage/$name/README.txt"
  sed 's/$/\r/' "$root/LICENSE" >"$stage/$name/LICENSE.txt"
  # Dated by the last commit, so that the same sources give the same archive.
  local mtime
  mtime=$(TZ=UTC git -C "$root" log -1 --format=%cd --date=format-local:'%Y-%m-%d %H:%M:%S' 2>/dev/null ||
          echo "2026-01-01 00:00:00")
  local archive
  archive=$(cd "$out" && pwd)/$name-win32.zip
  rm -f "$archive"
  (cd "$stage" && cmake -E tar cf "$archive" --format=zip --mtime="$mtime UTC" "$name")
  echo "$archive"
}

if [ "${1:-}" = "--from-build" ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --from-build BUILD_DIR OUT_DIR" >&2; exit 2; }
  pack "$2" "$3"
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: $0  (or $0 --from-build BUILD_DIR OUT_DIR)" >&2; exit 2; }

# A release holds only DLLs that passed their tests under Wine, which needs 32-bit execution.
if ! no_wine_reason=$("$root/scripts/probe-32bit.sh"); then
  echo "package.sh: refusing to pack DLLs that cannot be tested here: $no_wine_reason" >&2
  exit 1
fi

"$root/scripts/install-deps.sh"
echo "== Windows build and tests under Wine" >&2
"$root/scripts/test-windows.sh"
build=$root/build/windows
archive=$(pack "$build" "$root/dist")
"$root/packaging/check-archive.sh" "$archive" "$build/plugins" "$version"
echo "$archive"
