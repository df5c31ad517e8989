#!/usr/bin/env bash
# One plug-in of tarvo-lumo.clap in the CLAP file host (lumo-clap-host): with settings held, at
# blocks of 1, 7 and 4096 frames, bit-identical to `lumo eq` with the same settings; with
# automation at a few frames, bit-identical to the machine's plug-in file driven through the
# reference host with its blocks split at those frames (lumo-machine-render). 32-bit float over
# the input's length: 3 s of noise and 0.2 s of silence, the filters' ring-out.
# Usage: host-identity.sh CLAP_FILE CLAP_HOST LUMO MACHINE_FILE MACHINE_RENDER WAVTOOL WORKDIR BANDS RATE
set -euo pipefail
clap=$1 host=$2 lumo=$3 machine=$4 render=$5 wavtool=$6 work=$7 bands=$8 rate=$9
id=org.tarvo-lumo.lumo-$bands
mkdir -p "$work"
rm -f "$work"/*.wav

# The parameter index of a band by its name, from the machine's own table.
index_of() { "$lumo" info "$machine" | awk -v name="$1" '$2 " " $3 == name { print $1 }'; }

# Range and Bandwidth off their defaults, several bands both ways. CLAP plain values: Range in
# dB, Bandwidth in twelfths of an octave, a band in steps from flat (the machine's slider - 64).
case $bands in
  31) twelfths=5 ;;
  20) twelfths=10 ;;
  15) twelfths=20 ;;
esac
lumo_args=(--set "Range=12" --set "Bandwidth=$twelfths")
clap_args=(--set "0=12" --set "1=$twelfths")
render_args=(--set "0=12" --set "1=$twelfths")
for entry in "63 Hz:40" "250 Hz:-20" "1 kHz:-64" "4 kHz:24" "16 kHz:64"; do
  name=${entry%:*} steps=${entry##*:}
  index=$(index_of "$name")
  [ -n "$index" ] || { echo "no band $name in $machine" >&2; exit 1; }
  lumo_args+=(--set "$index=$((steps + 64))")
  clap_args+=(--set "$index=$steps")
  render_args+=(--set "$index=$((steps + 64))")
done

in=$work/in.wav
"$wavtool" noise "$in" "$rate" 3 0.2
frames=$(("$rate" * 16 / 5))
"$lumo" eq "$machine" "$in" "$work/lumo.wav" --bits float --quiet "${lumo_args[@]}"
if "$wavtool" compare "$in" "$work/lumo.wav" "$frames" >/dev/null; then
  echo "the settings change nothing: not a test" >&2
  exit 1
fi

status=0
check() {  # check NAME REFERENCE OUTPUT
  if out=$("$wavtool" compare "$2" "$3" "$frames"); then echo "$1: $out"; else echo "$1: $out" >&2; status=1; fi
}
for block in 1 7 4096; do
  "$host" "$clap" "$id" "$in" "$work/clap-$block.wav" --rate-from-file --block "$block" "${clap_args[@]}"
  check "blocks of $block" "$work/lumo.wav" "$work/clap-$block.wav"
done

# Automation: Range, Bandwidth and bands both ways at frames inside blocks, two at one frame, one
# on a block's first frame, a band turned flat (it rings out and sleeps).
k=$(index_of "1 kHz")
at=("1000:0=20" "1000:$k=30" "30000:1=3" "65536:$k=0" "100000:0=6" "$((rate * 2)):$((k - 1))=-50")
clap_at=() render_at=()
for change in "${at[@]}"; do
  frame=${change%%:*} rest=${change#*:}
  index=${rest%=*} value=${rest#*=}
  raw=$value
  [ "$index" -ge 2 ] && raw=$((value + 64))
  clap_at+=(--at "$frame:$index=$value")
  render_at+=(--at "$frame:$index=$raw")
done
for block in 7 4096; do
  "$render" "$machine" "$in" "$work/machine-at-$block.wav" --block "$block" "${render_args[@]}" "${render_at[@]}"
  "$host" "$clap" "$id" "$in" "$work/clap-at-$block.wav" --rate-from-file --block "$block" "${clap_args[@]}" \
    "${clap_at[@]}"
  check "automation, blocks of $block" "$work/machine-at-$block.wav" "$work/clap-at-$block.wav"
done
if "$wavtool" compare "$work/lumo.wav" "$work/clap-at-4096.wav" "$frames" >/dev/null; then
  echo "the automation changes nothing: not a test" >&2
  exit 1
fi
exit $status
