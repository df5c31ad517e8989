#!/usr/bin/env bash
# lumo eq against sox on the same work: 60 s of stereo 44.1 kHz float WAV pink noise through all
# 31 bands (Tarvo Lumo-31, alternately +3 and -3 dB) and through sox's chain of 31 `equalizer`
# stages at the same centres, widths and gains. Also lumo eq with every band flat (the machine's
# bands asleep: reading, converting, writing and the per-block calls, i.e. everything but the
# engine) and a plain sox copy (the file work alone). Timed with hyperfine; files on a RAM disk
# where there is one, so that the disk's write-back does not blur the figures.
#
# Usage: bench/eq-vs-sox.sh [seconds of audio, default 60] [hyperfine runs, default 10]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
runs=${2:-10}

"$root/scripts/install-deps.sh" --bench
build=${LUMO_NATIVE_BUILD:-$root/build/native}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target lumo >/dev/null
lumo=$build/bin/lumo

work=$(mktemp -d "$( [ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/lumo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
sox -n -r 44100 -c 2 -e float -b 32 "$work/pink.wav" synth "$seconds" pinknoise vol 0.3

# Band i of 31 is centred on 1000 x 2^((i - 17) / 3) Hz; Lumo-31's default Bandwidth is 8/12 octave.
lumo_bands=()
sox_bands=()
for band in $(seq 0 30); do
  gain=$(( band % 2 == 0 ? 3 : -3 ))
  lumo_bands+=(--set "$((band + 2))=${gain}dB")
  sox_bands+=(equalizer "$(awk -v b="$band" 'BEGIN { printf "%.4f", 1000 * 2 ^ ((b - 17) / 3) }')" 0.6667o "$gain")
done

quote() { printf '%q ' "$@"; }
lumo_active=$(quote "$lumo" eq Lumo-31 "$work/pink.wav" "$work/lumo.wav" --quiet "${lumo_bands[@]}")
lumo_flat=$(quote "$lumo" eq Lumo-31 "$work/pink.wav" "$work/flat.wav" --quiet)
sox_chain=$(quote sox "$work/pink.wav" -e float -b 32 "$work/sox.wav" "${sox_bands[@]}")
sox_copy=$(quote sox "$work/pink.wav" -e float -b 32 "$work/copy.wav")

hyperfine -N --warmup 1 --runs "$runs" --style basic --export-json "$work/times.json" \
  -n "lumo eq, 31 bands active" "$lumo_active" \
  -n "lumo eq, every band flat" "$lumo_flat" \
  -n "sox, 31 equalizer stages" "$sox_chain" \
  -n "sox, plain copy" "$sox_copy"

python3 - "$work/times.json" "$seconds" <<'EOF'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
mean = lambda name: results[name]["mean"]
active, flat = mean("lumo eq, 31 bands active"), mean("lumo eq, every band flat")
chain, copy = mean("sox, 31 equalizer stages"), mean("sox, plain copy")
print(f"\n{sys.argv[2]} s of stereo 44.1 kHz float, mean of the runs:")
print(f"  lumo eq, 31 bands:  {active * 1000:7.1f} ms  ({chain / active:.1f}x faster than sox's chain)")
print(f"  of which engine:    {(active - flat) * 1000:7.1f} ms  (active minus flat)")
print(f"  everything else:    {flat * 1000:7.1f} ms  (files, conversions, blocks; sox's plain copy: {copy * 1000:.1f} ms)")
print(f"  sox, 31 stages:     {chain * 1000:7.1f} ms")
EOF
