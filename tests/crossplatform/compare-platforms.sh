#!/usr/bin/env bash
# Renders the scenarios natively and with the DLLs under Wine, then compares them.
# Usage: compare-platforms.sh NATIVE_BUILD WINDOWS_BUILD WINE_RUN
set -euo pipefail
native=$1 windows=$2 wine_run=$3
for tool in "$native/tests/crossplatform/render-scenarios" "$native/tests/crossplatform/compare-renders"; do
  [ -x "$tool" ] || { echo "native build lacks $tool (build the native side first)" >&2; exit 1; }
done
work=$windows/crossplatform-renders
rm -rf "$work" && mkdir -p "$work/native" "$work/windows"
"$native/tests/crossplatform/render-scenarios" "$native/plugins" "$work/native" >/dev/null
"$wine_run" "$windows/tests/crossplatform/render-scenarios.exe" "$windows/plugins" "$work/windows" >/dev/null
"$native/tests/crossplatform/compare-renders" "$work/native" "$work/windows"
