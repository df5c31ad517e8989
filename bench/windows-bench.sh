#!/usr/bin/env bash
# Runs the benchmarks of the 32-bit Windows build under Wine: ProcessAudio of the DLL next to the
# literal loop (engine_bench_31, _20, _15), and the cascade kernels (cascade_bench). Debian packages Google
# Benchmark for Linux only, so the first run fetches its Debian source package (benchmark) and
# builds it with the cross compiler into the Windows build folder; later runs reuse it. Then it
# turns on LUMO_WINDOWS_BENCH there, builds the benchmark and runs it through scripts/wine-run.sh.
#
# Usage: bench/windows-bench.sh [PROGRAM] [benchmark arguments...]
#   PROGRAM: engine_bench_31 (the default), engine_bench_20, engine_bench_15 or cascade_bench;
#   e.g. bench/windows-bench.sh cascade_bench --benchmark_filter=frames:256
#   LUMO_WINDOWS_BUILD: the Windows build folder (default build/windows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! no_wine_reason=$("$root/scripts/probe-32bit.sh"); then
  echo "windows-bench.sh: cannot run the Windows benchmarks: $no_wine_reason" >&2
  exit 1
fi
build=${LUMO_WINDOWS_BUILD:-$root/build/windows}
jobs=${LUMO_JOBS:-2}
toolchain=$root/cmake/mingw-i686.cmake
source_dir=$build/google-benchmark/source
prefix=$build/google-benchmark/install

if [ ! -f "$prefix/lib/cmake/benchmark/benchmarkConfig.cmake" ]; then
  if [ ! -f "$source_dir/CMakeLists.txt" ]; then
    if ! apt-get source --print-uris benchmark >/dev/null 2>&1; then
      # No source entries yet: add Debian's (needs root), in the deb822 format.
      cat >/etc/apt/sources.list.d/debian-source.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
      apt-get update -qq
    fi
    fetch=$build/google-benchmark/fetch
    rm -rf "$fetch" && mkdir -p "$fetch"
    (cd "$fetch" && apt-get source --download-only benchmark >/dev/null &&
       dpkg-source --no-check -x ./*.dsc unpacked >/dev/null)
    rm -rf "$source_dir" && mv "$fetch/unpacked" "$source_dir" && rm -rf "$fetch"
  fi
  cmake -S "$source_dir" -B "$build/google-benchmark/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_INSTALL_DOCS=OFF \
    -DGIT_VERSION="$(sed -n "s/^benchmark (\([^-]*\)-.*/\1/p;q" "$source_dir/debian/changelog")" \
    -DHAVE_STD_REGEX=ON -DHAVE_STEADY_CLOCK=ON >/dev/null
  cmake --build "$build/google-benchmark/build" -j "$jobs" --target install >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DLUMO_WINDOWS_BENCH=ON -Dbenchmark_DIR="$prefix/lib/cmake/benchmark" >/dev/null
program=engine_bench_31
case "${1:-}" in
  engine_bench_*|cascade_bench) program=$1; shift ;;
esac
cmake --build "$build" --target "$program" -j "$jobs"
exec "$root/scripts/wine-run.sh" "$build/bench/$program.exe" "$@"
