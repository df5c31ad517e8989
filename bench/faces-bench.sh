#!/usr/bin/env bash
# Lumo-31 through its LV2, CLAP and VST3 faces, each measured as lumo-lv2-bench measures
# (bench/FrameCost.h: 48 kHz, Range 16 dB, every band +24 steps or +6 dB, ns per stereo frame at
# 64- and 256-frame blocks), next to LSP's Graphic Equalizer x32 Stereo (LV2, set as in
# bench/lv2/lv2-bench.sh) from the same run. Needs the peer: scripts/install-deps.sh --bench.
# Usage: bench/faces-bench.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
cmake --build "$build" -j2 --target lumo-lv2-bench lumo-clap-bench lumo-vst3-bench >/dev/null
export LV2_PATH=$build/lv2-path:/usr/lib/lv2
lv2=$build/bench/lv2/lumo-lv2-bench
# "NS64 NS256" from a bench's line.
figures() { sed -E 's/.*n=64: ([0-9.]+) ns\/frame  n=256: ([0-9.]+) ns\/frame$/\1 \2/'; }

gains=()
for ((i = 0; i < 32; ++i)); do gains+=(--set "g_$i=1.995262"); done
read -r lsp64 lsp256 < <("$lv2" --set mode=0 --set slope=0 "${gains[@]}" \
  http://lsp-plug.in/plugins/lv2/graph_equalizer_x32_stereo | figures)
row() {
  read -r ns64 ns256 < <("${@:2}" | figures)
  awk -v face="$1" -v a="$ns64" -v b="$ns256" -v l="$lsp64" -v m="$lsp256" \
    'BEGIN { printf "%-26s %8.1f %8.1f %12.1f %12.1f\n", face, a, b, l / a, m / b }'
}
printf '%-26s %8s %8s %12s %12s\n' 'ns per stereo frame' 'n=64' 'n=256' 'LSP/this 64' 'LSP/this 256'
row 'LSP x32 Stereo (LV2)' echo "n=64: $lsp64 ns/frame  n=256: $lsp256 ns/frame"
row 'Tarvo Lumo-31 LV2' "$lv2" --set 'band_*=24' urn:tarvo-lumo:lumo-31
row 'Tarvo Lumo-31 CLAP' "$build/bench/faces/lumo-clap-bench" "$build/clap/tarvo-lumo.clap" org.tarvo-lumo.lumo-31
row 'Tarvo Lumo-31 VST3' "$build/bench/faces/lumo-vst3-bench" \
  "$build/vst3/tarvo-lumo.vst3/Contents/$(uname -m)-linux/tarvo-lumo.so" 'Tarvo Lumo-31'
