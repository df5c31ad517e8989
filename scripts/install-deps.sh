#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, only when something is missing.
# Usage: scripts/install-deps.sh [--native-only | --bench]
#   --bench: the native packages and the tools bench/eq-vs-sox.sh compares and times with, and
#            the LV2 equalisers bench/lv2/lv2-bench.sh compares with.
set -euo pipefail

# ardour: its headless tools (ardour7-lua, ardour7-export) and VST3 scanner, for tests/ardour;
# qtractor: its plug-in scanner; dpf-source: the CLAP headers of tests/clap.
native=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
        libcairo2-dev libsndfile1-dev libcli11-dev nlohmann-json3-dev fonts-dejavu-core
        lv2-dev liblilv-dev lilv-utils lv2file lv2proc sordi ardour qtractor dpf-source)
# g++-mingw-w64-x86-64: the Windows x64 build of Steinberg's validator (scripts/build-vst3-validator.sh).
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 xvfb xauth fonts-wine)
bench=(sox hyperfine lsp-plugins-lv2 zam-plugins)

want=("${native[@]}")
case "${1:-}" in
  --native-only) ;;
  --bench) want+=("${bench[@]}") ;;
  *) want+=("${windows[@]}") ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
if printf '%s\n' "${missing[@]}" | grep -q ':i386'; then
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
