#!/usr/bin/env bash
# `cmake --install` puts tarvo-lumo.clap under PREFIX/lib/clap, and qtractor's plug-in scanner
# (Debian's qtractor, run headless) lists the three equalisers from it: name, stereo in and out,
# one control per parameter, each at its index in the file.
# Usage: qtractor-scan.sh CMAKE BUILD_DIR PREFIX
set -euo pipefail
cmake=$1 build=$2 prefix=$3
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
file=$prefix/lib/clap/tarvo-lumo.clap
[ -f "$file" ] || { echo "cmake --install did not place $file" >&2; exit 1; }

# The scanner reads "CLAP:FILE" lines and prints CLAP|name|audio in:out|midi in:out|controls
# in:out|hints|file|index|unique id for each plug-in.
listing=$(echo "CLAP:$file" | QT_QPA_PLATFORM=offscreen HOME=$prefix timeout 60 "$scanner" 2>"$prefix/scan.err")
echo "$listing"
expected="CLAP|Tarvo Lumo-31|2:2|0:0|33:0|$file|0
CLAP|Tarvo Lumo-20|2:2|0:0|22:0|$file|1
CLAP|Tarvo Lumo-15|2:2|0:0|17:0|$file|2"
got=$(echo "$listing" | awk -F'|' '{ print $1 "|" $2 "|" $3 "|" $4 "|" $5 "|" $7 "|" $8 }')
if [ "$got" != "$expected" ]; then
  echo "qtractor listed, in short:" >&2
  echo "$got" >&2
  echo "expected:" >&2
  echo "$expected" >&2
  cat "$prefix/scan.err" >&2
  exit 1
fi
