#!/usr/bin/env bash
# Checks the Windows release archive: named for VERSION, holding in tarvo-lumo-VERSION/ exactly
# README.txt, LICENSE.txt and the files of the builds given, sorted by name, those files byte for
# byte the builds' (the ones the tests ran on): with --buzz the three Buzz DLLs of PLUGIN_DIR, with
# --win64 the VST3 bundle and the CLAP file of that 64-bit build; the texts with Windows line ends,
# the guide giving the version and saying where each included kind goes, and nothing else.
# Usage: packaging/check-windows-archive.sh ARCHIVE VERSION [--buzz PLUGIN_DIR] [--win64 BUILD_DIR]
set -euo pipefail
usage="usage: $0 ARCHIVE VERSION [--buzz PLUGIN_DIR] [--win64 BUILD_DIR]"
[ $# -ge 4 ] || { echo "$usage" >&2; exit 2; }
archive=$1 version=$2 buzz="" win64=""
shift 2
while [ $# -ge 2 ]; do
  case $1 in
    --buzz) buzz=$2 ;;
    --win64) win64=$2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
  shift 2
done
[ $# -eq 0 ] || { echo "$usage" >&2; exit 2; }
fail() { echo "check-windows-archive: $*" >&2; exit 1; }

folder=tarvo-lumo-$version
[ "$(basename "$archive")" = "$folder-windows.zip" ] || fail "$archive is not named $folder-windows.zip"

module=tarvo-lumo.vst3/Contents/x86_64-win/tarvo-lumo.vst3
files=(README.txt LICENSE.txt)
[ -n "$buzz" ] && files+=("Tarvo Lumo-31.dll" "Tarvo Lumo-20.dll" "Tarvo Lumo-15.dll")
[ -n "$win64" ] && files+=(tarvo-lumo.vst3/ tarvo-lumo.vst3/Contents/ tarvo-lumo.vst3/Contents/x86_64-win/ "$module"
                          tarvo-lumo.clap)
expected=$(printf "$folder/%s\n" "" "${files[@]}" | LC_ALL=C sort)
listed=$(cmake -E tar tf "$archive")
[ "$(LC_ALL=C sort <<<"$listed")" = "$expected" ] ||
  fail "$archive holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"
[ "$(sed 's|/$||' <<<"$listed")" = "$(sed 's|/$||' <<<"$listed" | LC_ALL=C sort)" ] ||
  fail "$archive's entries are not sorted by name"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$archive")
dir=$unpacked/$folder
same() { cmp -s "$dir/$1" "$2" || fail "$1 in the archive is not $2"; }
if [ -n "$buzz" ]; then
  for machine in "Tarvo Lumo-31" "Tarvo Lumo-20" "Tarvo Lumo-15"; do same "$machine.dll" "$buzz/$machine.dll"; done
fi
if [ -n "$win64" ]; then
  same "$module" "$win64/vst3/$module"
  same tarvo-lumo.clap "$win64/clap/tarvo-lumo.clap"
fi

guide=$dir/README.txt
for text in README.txt LICENSE.txt; do
  [ "$(grep -c $'\r$' "$dir/$text")" = "$(wc -l <"$dir/$text")" ] || fail "$text does not have Windows line ends"
done
grep -q "Tarvo Lumo $version" "$guide" || fail "README.txt does not give version $version"
! grep -q '^@@' "$guide" || fail "README.txt still holds section marks"
says() {  # says INCLUDED PATTERN: the guide names PATTERN exactly when its kind is included
  if grep -qF "$2" "$guide"; then [ -n "$1" ] || fail "README.txt names $2, which is not included"
  else [ -z "$1" ] || fail "README.txt does not name $2"; fi
}
says "$buzz" 'Gear\Effects'
says "$win64" 'C:\Program Files\Common Files\VST3'
says "$win64" 'C:\Program Files\Common Files\CLAP'
grep -q '^MIT License' "$dir/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
echo "check-windows-archive: $archive holds ${buzz:+the tested Buzz DLLs, }${win64:+the tested VST3 bundle and CLAP file, }the guide and the licence"
