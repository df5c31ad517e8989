#!/usr/bin/env bash
# The main job on the built-in example: builds the Linux side, makes a test signal, equalises it
# through Tarvo Lumo-31 and draws the response graph. Results go to out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --native-only
build=$root/build/native
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target lumo lumo31 lumo20 lumo15 lumo-example-signal
out=$root/out
mkdir -p "$out"
lumo=$build/bin/lumo
settings=(--set Range=12 --set "63 Hz=+6dB" --set "250 Hz=-3dB" --set "1 kHz=-6dB" --set "8 kHz=+4dB")

"$lumo" info "Tarvo Lumo-31"
"$build/bin/lumo-example-signal" "$out/example-input.wav"
"$lumo" eq "Tarvo Lumo-31" "$out/example-input.wav" "$out/example-equalised.wav" "${settings[@]}"
"$lumo" graph "Tarvo Lumo-31" -o "$out/example-graph.png" "${settings[@]}"
echo
echo "input:     $out/example-input.wav"
echo "equalised: $out/example-equalised.wav"
echo "graph:     $out/example-graph.png"
