#!/usr/bin/env bash
# Lets Ardour 7 know a VST3 bundle the way it knows installed ones: the bundle copied into
# WORK/vst3 (VST3_PATH), scanned by Ardour's own scanner into WORK/cache (XDG_CACHE_HOME), and
# its module dated back a minute, since Ardour trusts the cache only when it is strictly newer
# (in whole seconds) than the module. Prints each class found: uid, name and category, by tabs.
# Usage: scan-vst3.sh WORK BUNDLE.vst3
set -euo pipefail
work=$1 bundle=$2
scanner=/usr/lib/ardour7/ardour-vst3-scanner
copy=$work/vst3/$(basename "$bundle")
rm -rf "$copy" && mkdir -p "$work/vst3" "$work/cache" && cp -r "$bundle" "$copy"
find "$copy" -type f -exec touch -d '-1 minute' {} +
LD_LIBRARY_PATH=/usr/lib/ardour7 XDG_CACHE_HOME=$work/cache VST3_PATH=$work/vst3 "$scanner" "$copy" >"$work/vst3-scan.log" 2>&1 || {
  cat "$work/vst3-scan.log" >&2
  echo "scan-vst3.sh: Ardour's scanner refused $bundle" >&2
  exit 1
}
caches=$(find "$work/cache/ardour7/vst" -name '*.v3i' 2>/dev/null)
[ -n "$caches" ] || { echo "scan-vst3.sh: the scanner wrote no .v3i for $bundle" >&2; exit 1; }
attribute() { sed -E "s/.* $1=\"([^\"]*)\".*/\1/" <<<"$2"; }
grep -h -o -E '<VST3Info [^>]*>' $caches | while read -r info; do
  printf '%s\t%s\t%s\n' "$(attribute uid "$info")" "$(attribute name "$info")" "$(attribute category "$info")"
done
