#!/usr/bin/env bash
# Makes the release archives, one per platform, in dist/:
#   tarvo-lumo-VERSION-windows.zip          the Buzz machines (three 32-bit DLLs), tarvo-lumo.vst3
#                                           and tarvo-lumo.clap (64-bit)
#   tarvo-lumo-VERSION-linux-x86_64.tar.gz  tarvo-lumo.lv2, tarvo-lumo.vst3, tarvo-lumo.clap and lumo
# each a folder tarvo-lumo-VERSION/ with a short guide (packaging/windows|linux/README.txt, as
# README.txt) and the licence. VERSION is the project() version in CMakeLists.txt.
#
# It first builds each side and runs its tests on this machine: the native build (build/native),
# the 32-bit Windows build under 32-bit Wine (build/windows), the 64-bit one under 64-bit Wine
# (build/win64); then packs those builds' files and checks each archive against them
# (packaging/check-windows-archive.sh, packaging/check-linux-archive.sh). What cannot be tested
# here is not packed: the Buzz machines where 32-bit programs cannot start (scripts/probe-32bit.sh),
# the 64-bit Windows plug-ins where 64-bit Wine cannot run (scripts/probe-wine64.sh). One line
# says so for each, the rest is packed and the last line names what was left out; with --all that
# fails instead, before anything is built.
#
# The same sources give the same bytes: entries sorted by name, every date the last commit's (or
# SOURCE_DATE_EPOCH), fixed permissions, owner root, no extra attributes; the Linux files stripped
# of their debug information and build ID, the Windows files linked without time stamps.
#
# Usage: scripts/package.sh [--all]
#        scripts/package.sh --pack OUT_DIR [--buzz BUILD] [--win64 BUILD] [--linux BUILD]
#   The second form only packs what the builds named hold into OUT_DIR, the Windows archive from
#   --buzz (the 32-bit build) and --win64, the Linux one from --linux (the native build), and
#   prints each archive's path: no build, no tests, no check. The archive tests use it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

version=$(sed -n 's/^project(TarvoLumo VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no VERSION in the project() line of CMakeLists.txt" >&2; exit 1; }
name=tarvo-lumo-$version
machines=("Tarvo Lumo-31" "Tarvo Lumo-20" "Tarvo Lumo-15")
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)}

# put FILE DEST: copies FILE to DEST, making DEST's folder.
put() {
  [ -f "$1" ] || { echo "package.sh: $1 is missing" >&2; return 1; }
  mkdir -p "$(dirname "$2")"
  cp "$1" "$2"
}

# guide TEMPLATE SECTION...: the guide with the version filled in (the title's underline as long
# as the title), keeping of its "@@ NAME" ... "@@ end" sections only those named.
guide() {
  local template=$1
  shift
  awk -v keep=" $* " -v version="$version" '
    /^@@ end$/ { skipping = 0; next }
    /^@@ / { skipping = index(keep, " " $2 " ") == 0; next }
    skipping { next }
    /^=+$/ { $0 = previous; gsub(/./, "=") }
    { gsub(/@VERSION@/, version); print; previous = $0 }' "$template"
}

# normalise DIR: folders 755, files 644 but programs 755, every date the release's.
normalise() {
  find "$1" -type d -exec chmod 755 {} +
  find "$1" -type f -exec chmod 644 {} +
  find "$1" -type f -path '*/bin/*' -exec chmod 755 {} +
  find "$1" -exec touch -h -d "@$epoch" {} +
}

# pack_windows OUT_DIR BUZZ_BUILD WIN64_BUILD (either may be empty): writes the zip, prints its path.
pack_windows() {
  local out=$1 buzz=$2 win64=$3 stage sections=() archive
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' RETURN
  local dir=$stage/$name
  mkdir -p "$dir" "$out"
  if [ -n "$buzz" ]; then
    for machine in "${machines[@]}"; do put "$buzz/plugins/$machine.dll" "$dir/$machine.dll"; done
    sections+=(buzz)
  fi
  if [ -n "$win64" ]; then
    put "$win64/vst3/tarvo-lumo.vst3/Contents/x86_64-win/tarvo-lumo.vst3" \
        "$dir/tarvo-lumo.vst3/Contents/x86_64-win/tarvo-lumo.vst3"
    put "$win64/clap/tarvo-lumo.clap" "$dir/tarvo-lumo.clap"
    sections+=(plugins)
  fi
  # Text files with Windows line ends, for Notepad.
  guide "$root/packaging/windows/README.txt" "${sections[@]}" | sed 's/$/\r/' >"$dir/README.txt"
  sed 's/$/\r/' "$root/LICENSE" >"$dir/LICENSE.txt"
  normalise "$dir"
  archive=$(cd "$out" && pwd)/$name-windows.zip
  rm -f "$archive"
  # zip -X: no owner or extra time fields; TZ=UTC: the DOS times are the release's in UTC.
  (cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X "$archive" -@)
  echo "$archive"
}

# pack_linux OUT_DIR BUILD: writes the tar.gz, prints its path.
pack_linux() {
  local out=$1 build=$2 stage archive
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' RETURN
  local dir=$stage/$name
  mkdir -p "$dir" "$out"
  for file in "$build"/lv2-path/tarvo-lumo.lv2/*; do put "$file" "$dir/tarvo-lumo.lv2/${file##*/}"; done
  put "$build/vst3/tarvo-lumo.vst3/Contents/x86_64-linux/tarvo-lumo.so" \
      "$dir/tarvo-lumo.vst3/Contents/x86_64-linux/tarvo-lumo.so"
  put "$build/clap/tarvo-lumo.clap" "$dir/tarvo-lumo.clap"
  # lumo with what it loads: its stand-in library (found at $ORIGIN/../lib) and the machines
  # (../plugins next to its folder).
  put "$build/bin/lumo" "$dir/lumo/bin/lumo"
  put "$build/lib/liblumo_platform.so" "$dir/lumo/lib/liblumo_platform.so"
  for machine in "${machines[@]}"; do put "$build/plugins/$machine.so" "$dir/lumo/plugins/$machine.so"; done
  # Stripped, and without the build ID, which the linker derives from the debug information and so
  # from the build folder's path: the same sources give the same files wherever they were built.
  find "$dir" -type f \( -name '*.so' -o -name '*.clap' -o -path '*/bin/*' \) \
    -exec strip --strip-unneeded --remove-section=.note.gnu.build-id {} +
  guide "$root/packaging/linux/README.txt" >"$dir/README.txt"
  cp "$root/LICENSE" "$dir/LICENSE"
  normalise "$dir"
  archive=$(cd "$out" && pwd)/$name-linux-x86_64.tar.gz
  tar -C "$stage" --sort=name --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$epoch" -cf - "$name" |
    gzip -n -9 >"$archive"
  echo "$archive"
}

if [ "${1:-}" = "--pack" ]; then
  usage="usage: $0 --pack OUT_DIR [--buzz BUILD] [--win64 BUILD] [--linux BUILD]"
  [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
  out=$2 buzz="" win64="" linux=""
  shift 2
  while [ $# -ge 2 ]; do
    case $1 in
      --buzz) buzz=$2 ;;
      --win64) win64=$2 ;;
      --linux) linux=$2 ;;
      *) echo "$usage" >&2; exit 2 ;;
    esac
    shift 2
  done
  [ $# -eq 0 ] && [ -n "$buzz$win64$linux" ] || { echo "$usage" >&2; exit 2; }
  if [ -n "$buzz$win64" ]; then pack_windows "$out" "$buzz" "$win64"; fi
  if [ -n "$linux" ]; then pack_linux "$out" "$linux"; fi
  exit 0
fi

all=0
if [ "${1:-}" = "--all" ]; then all=1; shift; fi
[ $# -eq 0 ] || { echo "usage: $0 [--all]  (or $0 --pack OUT_DIR [--buzz BUILD] [--win64 BUILD] [--linux BUILD])" >&2; exit 2; }

# A release holds only what passed its tests here.
left_out=()
refuse() {  # refuse WHAT REASON
  echo "package.sh: not packing $1, whose tests cannot run here: $2" >&2
  if [ $all -eq 1 ]; then
    echo "package.sh: --all asks for every artefact; nothing packed" >&2
    exit 1
  fi
  left_out+=("$1")
}
buzz=$root/build/windows win64=$root/build/win64
if ! reason=$("$root/scripts/probe-32bit.sh"); then
  refuse "the Buzz machines (32-bit DLLs)" "$reason"
  buzz=""
fi
"$root/scripts/install-deps.sh"
if ! reason=$("$root/scripts/probe-wine64.sh"); then
  refuse "tarvo-lumo.vst3 and tarvo-lumo.clap for Windows (64-bit)" "$reason"
  win64=""
fi

echo "== native build and tests" >&2
"$root/scripts/build-native.sh"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"
if [ -n "$buzz" ]; then
  echo "== 32-bit Windows build and tests under 32-bit Wine" >&2
  "$root/scripts/test-windows.sh"
fi
if [ -n "$win64" ]; then
  echo "== 64-bit Windows build and tests under 64-bit Wine" >&2
  "$root/scripts/test-windows.sh" --64
fi

dist=$root/dist
archive=$(pack_linux "$dist" "$root/build/native")
"$root/packaging/check-linux-archive.sh" "$archive" "$version" "$root/build/native" >&2
echo "$archive"
rm -f "$dist/$name-windows.zip"
if [ -n "$buzz$win64" ]; then
  archive=$(pack_windows "$dist" "$buzz" "$win64")
  "$root/packaging/check-windows-archive.sh" "$archive" "$version" ${buzz:+--buzz "$buzz/plugins"} \
    ${win64:+--win64 "$win64"} >&2
  echo "$archive"
else
  echo "package.sh: no Windows archive: nothing of it could be tested here" >&2
fi
if [ ${#left_out[@]} -gt 0 ]; then
  echo "package.sh: left out, untested here: $(printf '%s; ' "${left_out[@]}" | sed 's/; $//')" >&2
fi
