#!/usr/bin/env bash
# ProcessAudio of Lumo-31 (every band active) next to the cascade kernel alone on the same bands
# and the literal band-after-band loop, at every block length engine_bench_31 runs (1 to 16
# frames, then powers of two to 8192), their repetitions interleaved so that the machine's
# drifts hit all three alike; then every kernel alone at 1 and 256 frames and the AVX-512 bound
# (cascade_bench). The median of 5 runs, ns per stereo frame, one table.
# Usage: bench/block-sweep.sh [BUILD_DIR]   (default build/native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
cmake --build "$build" --target engine_bench_31 cascade_bench >/dev/null
median() {  # benchmark output -> "name value" for the median rows
  grep '_median' | sed -E 's/_median//' | awk '{for (i = 1; i <= NF; ++i) if ($i ~ /^(bound_)?per_frame=/) {v = $i; sub(/^(bound_)?per_frame=/, "", v); print $1, v}}'
}
to_ns() { awk '{v = $2; f = 1; if (v ~ /us$/) f = 1000; if (v ~ /ms$/) f = 1e6; gsub(/[a-z]+$/, "", v); print $1, v * f}'; }
runs=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_min_time=0.1)
engine=$("$build/bench/engine_bench_31" "${runs[@]}" --benchmark_enable_random_interleaving=true 2>/dev/null \
  --benchmark_filter='BM_(ProcessAudio|LiteralLoop)/activeEvery:1/frames:[0-9]+/hostFlushes:0$|BM_CascadeKernel/activeEvery:1/frames:[0-9]+$' \
  | median | to_ns)
kernel=$("$build/bench/cascade_bench" "${runs[@]}" 2>/dev/null \
  --benchmark_filter='bands:31/active:31/frames:(1|256)/(literal|sse2|avx2|avx512)$|VectorPeak' | median | to_ns)
echo "frames  ProcessAudio  kernel  ProcessAudio/kernel  literal  literal/ProcessAudio"
echo "$engine" | awk '{split($1, p, "/"); split(p[3], f, ":")
    if (p[1] == "BM_ProcessAudio") a[f[2]] = $2; else if (p[1] == "BM_CascadeKernel") k[f[2]] = $2; else l[f[2]] = $2}
  END {for (n in a) printf "%6d  %12.2f  %6.2f  %18.2fx  %7.2f  %19.2fx\n", n, a[n], k[n], a[n] / k[n], l[n], l[n] / a[n]}' | sort -n
echo
echo "every cascade kernel alone (cascade_bench, random bands, Lumo-31's count), and the AVX-512 bound:"
echo "$kernel" | awk '{printf "  %-45s %8.2f\n", $1, $2}'
