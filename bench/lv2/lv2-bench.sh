#!/usr/bin/env bash
# Our three LV2 equalisers and the graphic equalisers Debian packages, in the same lilv host, all
# bands boosted (about +6 dB), at 64- and 256-frame blocks: ns per stereo frame, one run.
# Needs the peers: scripts/install-deps.sh --bench. Usage: bench/lv2/lv2-bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/native}
cmake --build "$build" --target lumo-lv2-bench >/dev/null
bench=$build/bench/lv2/lumo-lv2-bench
export LV2_PATH=$build/lv2-path:/usr/lib/lv2
lsp=http://lsp-plug.in/plugins/lv2
# Ours: Range 16 dB, every band +24 steps (+6 dB).
for bands in 31 20 15; do
  "$bench" --set 'band_*=24' "urn:tarvo-lumo:lumo-$bands"
done
# LSP in its lightest filter mode (IIR, BT48: the defaults), every band x2 (+6 dB).
for bands in 32 16; do
  gains=()
  for ((i = 0; i < bands; ++i)); do gains+=(--set "g_$i=1.995262"); done
  "$bench" --set mode=0 --set slope=0 "${gains[@]}" "$lsp/graph_equalizer_x${bands}_stereo"
done
# ZamGEQ31 is mono: two instances make the stereo effect; every band +6 dB.
"$bench" --instances 2 --set 'band*=6' urn:zamaudio:ZamGEQ31
