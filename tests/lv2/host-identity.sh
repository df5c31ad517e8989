#!/usr/bin/env bash
# One plug-in of the bundle in three LV2 hosts nobody on this project wrote (lilv's lv2apply,
# lv2file, lv2proc), each against `lumo eq` with the same settings: bit-identical 32-bit float
# output over the padded input's length.
# Usage: host-identity.sh BUNDLE_DIR LUMO PLUGIN_FILE WAVTOOL WORKDIR BANDS RATE
set -euo pipefail
bundle=$1 lumo=$2 plugin=$3 wavtool=$4 work=$5 bands=$6 rate=$7
uri=urn:tarvo-lumo:lumo-$bands
mkdir -p "$work"
rm -f "$work"/*.wav

# Several bands both ways, Range and Bandwidth off their defaults (Bandwidth in twelfths of an
# octave for lumo, in octaves for the plug-in).
case $bands in
  31) twelfths=5 ;;
  20) twelfths=10 ;;
  15) twelfths=20 ;;
esac
octaves=$(awk -v t="$twelfths" 'BEGIN { printf "%.10g", t / 12 }')
range=12
bandsteps=("63 Hz:band_63hz:40" "250 Hz:band_250hz:-20" "1 kHz:band_1khz:-64" "4 kHz:band_4khz:24" "16 kHz:band_16khz:64")

lumo_args=(--set "Range=$range" --set "Bandwidth=$twelfths")
apply_args=(-c range "$range" -c bandwidth "$octaves")
file_args=(-p "range:$range" -p "bandwidth:$octaves")
proc_args=(-c "range:$range" -c "bandwidth:$octaves")
for entry in "${bandsteps[@]}"; do
  IFS=: read -r name symbol steps <<<"$entry"
  lumo_args+=(--set "$name=$((steps + 64))")
  apply_args+=(-c "$symbol" "$steps")
  file_args+=(-p "$symbol:$steps")
  proc_args+=(-c "$symbol:$steps")
done

in=$work/in.wav
"$wavtool" signal "$in" "$rate"
frames=$((rate + rate / 5))

"$lumo" eq "$plugin" "$in" "$work/lumo.wav" --bits float --quiet "${lumo_args[@]}"
if "$wavtool" compare "$in" "$work/lumo.wav" "$frames" >/dev/null; then
  echo "the settings change nothing: not a test" >&2
  exit 1
fi

export LV2_PATH=$(dirname "$bundle")
status=0
check() {
  local host=$1
  if out=$("$wavtool" compare "$work/lumo.wav" "$work/$host.wav" "$frames"); then
    echo "$host: $out"
  else
    echo "$host: $out" >&2
    status=1
  fi
}
lv2apply -i "$in" -o "$work/lv2apply.wav" "${apply_args[@]}" "$uri"
check lv2apply
lv2file -i "$in" -o "$work/lv2file.wav" -b 7 --ignore-clipping "${file_args[@]}" "$uri" >/dev/null
check lv2file
lv2proc -i "$in" -o "$work/lv2proc.wav" -n 4096 "${proc_args[@]}" "$uri" >/dev/null
check lv2proc
exit $status
