#!/usr/bin/env bash
# One plug-in in Ardour 7 against `lumo eq` with the same settings: 5 s of stereo float noise
# through a track with the plug-in, exported as float, bit-identical over the input's length to
# the machine's own output. WORK is emptied first and removed when the test passes (kept for a
# look when it fails).
# Usage: match-lumo-eq.sh WORK LUMO MACHINE_FILE WAVTOOL RATE TYPE ID PLUGIN_PATH \
#          -- LUMO_SETTING... -- PLUGIN_SETTING...
#   LUMO_SETTING: NAME=VALUE as `lumo eq --set` takes it
#   PLUGIN_SETTING: LABEL=VALUE as render.sh takes it (the plug-in's own control names and units)
set -uo pipefail
[ $# -ge 9 ] && [ "$9" = -- ] || {
  echo "usage: $0 WORK LUMO MACHINE_FILE WAVTOOL RATE TYPE ID PLUGIN_PATH -- LUMO_SETTING... -- PLUGIN_SETTING..." >&2
  exit 2
}
work=$1 lumo=$2 machine=$3 wavtool=$4 rate=$5 type=$6 id=$7 plugin_path=$8
shift 9
lumo_args=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do lumo_args+=(--set "$1"); shift; done
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work"

in=$work/in.wav
"$wavtool" noise "$in" "$rate" 5 || exit 1
read -r frames _ < <("$wavtool" frames "$in")
"$lumo" eq "$machine" "$in" "$work/lumo.wav" --bits float --quiet "${lumo_args[@]}" || exit 1
if "$wavtool" compare "$in" "$work/lumo.wav" "$frames" >/dev/null; then
  echo "the settings change nothing: not a test" >&2
  exit 1
fi
"$here/render.sh" "$work" "$wavtool" "$in" "$work/ardour.wav" "$type" "$id" "$plugin_path" "$@" || exit 1
if result=$("$wavtool" compare "$work/lumo.wav" "$work/ardour.wav" "$frames"); then
  echo "Ardour ($type $id): $result"
  rm -rf "$work"
  exit 0
fi
echo "Ardour ($type $id): $result (files kept in $work)" >&2
exit 1
