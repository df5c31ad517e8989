#!/usr/bin/env bash
# A plug-in in some host against `lumo eq` on the machine with the same settings: 5 s of stereo
# float noise through both, the host's output bit-identical over the input's length. WORK is
# emptied first and removed when the test passes (kept for a look when it fails).
# Usage: match-lumo-eq.sh WORK LUMO MACHINE_FILE WAVTOOL RATE -- LUMO_SETTING... -- COMMAND ARG...
#   LUMO_SETTING: NAME=VALUE as `lumo eq --set` takes it
#   COMMAND ARG...: renders @IN@ into @OUT@ (a 32-bit float WAV), which stand for the files here,
#                   with @WORK@ (WORK) for its own files; e.g. tests/ardour/render.sh, lumo-clap-host
set -uo pipefail
[ $# -ge 7 ] && [ "$6" = -- ] || {
  echo "usage: $0 WORK LUMO MACHINE_FILE WAVTOOL RATE -- LUMO_SETTING... -- COMMAND ARG..." >&2
  exit 2
}
work=$1 lumo=$2 machine=$3 wavtool=$4 rate=$5
shift 6
lumo_args=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do lumo_args+=(--set "$1"); shift; done
[ $# -gt 1 ] || { echo "match-lumo-eq.sh: no command after the second --" >&2; exit 2; }
shift
rm -rf "$work" && mkdir -p "$work"
in=$work/in.wav out=$work/host.wav
command=()
for arg in "$@"; do
  arg=${arg//@IN@/$in}
  arg=${arg//@WORK@/$work}
  command+=("${arg//@OUT@/$out}")
done

"$wavtool" noise "$in" "$rate" 5 || exit 1
read -r frames _ < <("$wavtool" frames "$in")
"$lumo" eq "$machine" "$in" "$work/lumo.wav" --bits float --quiet "${lumo_args[@]}" || exit 1
if "$wavtool" compare "$in" "$work/lumo.wav" "$frames" >/dev/null; then
  echo "the settings change nothing: not a test" >&2
  exit 1
fi
# LUMO_MATCH_ATTEMPTS (default 1): how many times the host renders before a difference counts. A
# host of its own timing (Ardour's exporter now and then starts a block late under load, its output
# opening with silence) gets a second render; a plug-in that differs differs every time.
attempts=${LUMO_MATCH_ATTEMPTS:-1}
for ((attempt = 1; ; ++attempt)); do
  "${command[@]}" || { echo "match-lumo-eq.sh: $(basename "$1") failed (files kept in $work)" >&2; exit 1; }
  if result=$("$wavtool" compare "$work/lumo.wav" "$out" "$frames"); then
    echo "$(basename "$1"): $result"
    rm -rf "$work"
    exit 0
  fi
  [ "$attempt" -lt "$attempts" ] || break
  echo "$(basename "$1"): $result; rendering again (attempt $((attempt + 1)) of $attempts)" >&2
done
echo "$(basename "$1"): $result (files kept in $work)" >&2
exit 1
