#!/usr/bin/env bash
# Renders a stereo float WAV through one plug-in in Ardour 7, headless: a session with one
# stereo track through the plug-in (session.lua), exported as 32-bit float over the input's
# length by ardour7-export.
# Usage: render.sh WORK WAVTOOL IN.wav OUT.wav TYPE ID PLUGIN_PATH [LABEL=VALUE]...
#   TYPE LV2:  ID the plug-in's URI, PLUGIN_PATH the folder holding its bundle
#   TYPE VST3: ID the class id as Ardour writes it (the uid scan-vst3.sh prints), PLUGIN_PATH
#              the .vst3 bundle
#   LABEL=VALUE: a control by the name the plug-in gives it, in the units Ardour's Lua sets it in
set -euo pipefail
[ $# -ge 7 ] || { echo "usage: $0 WORK WAVTOOL IN.wav OUT.wav TYPE ID PLUGIN_PATH [LABEL=VALUE]..." >&2; exit 2; }
work=$1 wavtool=$2 in=$3 out=$4 type=$5 id=$6 plugin_path=$7
shift 7
here=$(cd "$(dirname "$0")" && pwd)
source "$here/environment.sh"
ardour_environment "$work" "$type" "$plugin_path"
rm -rf "$work/lumo"

read -r frames rate < <("$wavtool" frames "$in")
log=$work/ardour.log
if ! ardour7-lua "$here/session.lua" "$work/lumo" lumo "$rate" "$type" "$id" "$in" "$frames" "$@" >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
# Ardour 7.3's exporter now and then aborts on a heap corruption of its own while it tears down
# its export channels (seen with other makers' plug-ins too): an export killed by a signal is
# run again, at most three times in all. Any other failure, and any output, counts as it is.
for attempt in 1 2 3; do
  rm -f "$out"
  status=0
  ardour7-export -b float -o "$out" "$work/lumo" lumo >>"$log" 2>&1 || status=$?
  [ $status -gt 128 ] && [ $attempt -lt 3 ] || break
  echo "render.sh: ardour7-export ended by signal $((status - 128)), exporting again" >>"$log"
done
if [ $status -ne 0 ] || [ ! -s "$out" ]; then
  cat "$log" >&2
  echo "render.sh: ardour7-export wrote no $out" >&2
  exit 1
fi
