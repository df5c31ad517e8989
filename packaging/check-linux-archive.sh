#!/usr/bin/env bash
# Checks the Linux release archive: named for VERSION, holding in tarvo-lumo-VERSION/ exactly
# README.txt, LICENSE, the LV2 bundle, the VST3 bundle, the CLAP file and the lumo folder, sorted by
# name and owned by root, each file BUILD_DIR's (the native build the tests ran on; programs and
# libraries stripped, without build ID); the guide giving the version and saying where each goes;
# and lumo running from the unpacked folder through a link elsewhere, as the guide installs it.
# Usage: packaging/check-linux-archive.sh ARCHIVE VERSION BUILD_DIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 ARCHIVE VERSION BUILD_DIR" >&2; exit 2; }
archive=$1 version=$2 build=$3
fail() { echo "check-linux-archive: $*" >&2; exit 1; }

folder=tarvo-lumo-$version
[ "$(basename "$archive")" = "$folder-linux-x86_64.tar.gz" ] || fail "$archive is not named $folder-linux-x86_64.tar.gz"

lv2=(manifest.ttl lumo-31.ttl lumo-20.ttl lumo-15.ttl tarvo-lumo.so)
machines=("Tarvo Lumo-31.so" "Tarvo Lumo-20.so" "Tarvo Lumo-15.so")
vst3_module=tarvo-lumo.vst3/Contents/x86_64-linux/tarvo-lumo.so
files=(README.txt LICENSE tarvo-lumo.clap tarvo-lumo.lv2/ "${lv2[@]/#/tarvo-lumo.lv2/}"
       tarvo-lumo.vst3/ tarvo-lumo.vst3/Contents/ tarvo-lumo.vst3/Contents/x86_64-linux/ "$vst3_module"
       lumo/ lumo/bin/ lumo/bin/lumo lumo/lib/ lumo/lib/liblumo_platform.so lumo/plugins/ "${machines[@]/#/lumo/plugins/}")
expected=$(printf "$folder/%s\n" "" "${files[@]}" | LC_ALL=C sort)
listed=$(tar -tzf "$archive")
[ "$(LC_ALL=C sort <<<"$listed")" = "$expected" ] ||
  fail "$archive holds:"$'\n'"$listed"$'\n'"expected:"$'\n'"$expected"
[ "$(sed 's|/$||' <<<"$listed")" = "$(sed 's|/$||' <<<"$listed" | LC_ALL=C sort)" ] ||
  fail "$archive's entries are not sorted by name"
owners=$(tar --numeric-owner -tvzf "$archive" | awk '{print $2}' | sort -u)
[ "$owners" = 0/0 ] || fail "$archive's entries are owned by $owners, not 0/0"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -C "$work" -xzf "$archive"
dir=$work/$folder
same() {  # same PACKED BUILT: byte for byte, the built file stripped where the archive's is
  local built=$2
  if [ "$(head -c 4 "$built")" = $'\x7fELF' ]; then
    strip --strip-unneeded --remove-section=.note.gnu.build-id -o "$work/stripped" "$built"
    built=$work/stripped
  fi
  cmp -s "$dir/$1" "$built" || fail "$1 in the archive is not $2"
}
for file in "${lv2[@]}"; do same "tarvo-lumo.lv2/$file" "$build/lv2-path/tarvo-lumo.lv2/$file"; done
same "$vst3_module" "$build/vst3/$vst3_module"
same tarvo-lumo.clap "$build/clap/tarvo-lumo.clap"
same lumo/bin/lumo "$build/bin/lumo"
same lumo/lib/liblumo_platform.so "$build/lib/liblumo_platform.so"
for machine in "${machines[@]}"; do same "lumo/plugins/$machine" "$build/plugins/$machine"; done

# lumo through a link in another folder finds its library and its machines.
mkdir -p "$work/bin"
ln -s "$dir/lumo/bin/lumo" "$work/bin/lumo"
info=$(env -u LUMO_PLUGIN_DIR "$work/bin/lumo" info Lumo-15) || fail "lumo from the archive does not run"
grep -q "file: *$dir/lumo/plugins/Tarvo Lumo-15.so" <<<"$info" || fail "lumo from the archive runs another machine"

guide=$dir/README.txt
! grep -q $'\r' "$guide" || fail "README.txt has Windows line ends"
grep -q "Tarvo Lumo $version" "$guide" || fail "README.txt does not give version $version"
for place in '~/.lv2' '~/.vst3' '~/.clap' '~/.local/bin'; do
  grep -qF "$place" "$guide" || fail "README.txt does not name $place"
done
grep -q '^MIT License' "$dir/LICENSE" || fail "LICENSE is not the MIT licence"
echo "check-linux-archive: $archive holds the tested LV2, VST3 and CLAP plug-ins and lumo, the guide and the licence"
