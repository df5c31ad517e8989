#!/usr/bin/env bash
# Checks a release archive: named for VERSION, holding exactly the three DLLs, README.txt and
# LICENSE.txt in tarvo-lumo-VERSION/, the DLLs byte for byte those of PLUGIN_DIR (the build the
# tests ran on), the texts with Windows line ends, the guide naming the effects folder.
# Usage: packaging/check-archive.sh ARCHIVE PLUGIN_DIR VERSION
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 ARCHIVE PLUGIN_DIR VERSION" >&2; exit 2; }
archive=$1 plugins=$2 version=$3
fail() { echo "check-archive: $*" >&2; exit 1; }

folder=tarvo-lumo-$version
[ "$(basename "$archive")" = "$folder-win32.zip" ] || fail "$archive is not named $folder-win32.zip"

expected=$(printf '%s\n' "$folder/" "$folder/LICENSE.txt" "$folder/README.txt" \
  "$folder/Tarvo Lumo-15.dll" "$folder/Tarvo Lumo-20.dll" "$folder/Tarvo Lumo-31.dll" | sort)
listed=$(cmake -E tar tf "$archive" | sort)
[ "$listed" = "$expected" ] || fail "$archive holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$archive")
for machine in "Tarvo Lumo-31" "Tarvo Lumo-20" "Tarvo Lumo-15"; do
  cmp -s "$unpacked/$folder/$machine.dll" "$plugins/$machine.dll" ||
    fail "$machine.dll in the archive is not the one in $plugins"
done
for text in README.txt LICENSE.txt; do
  [ "$(grep -c $'\r$' "$unpacked/$folder/$text")" = "$(wc -l <"$unpacked/$folder/$text")" ] ||
    fail "$text does not have Windows line ends"
done
grep -q 'Gear\\Effects' "$unpacked/$folder/README.txt" || fail "README.txt does not name Gear\\Effects"
grep -q "Tarvo Lumo $version" "$unpacked/$folder/README.txt" || fail "README.txt does not give version $version"
grep -q '^MIT License' "$unpacked/$folder/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
echo "check-archive: $archive holds the tested DLLs, the guide and the licence"
