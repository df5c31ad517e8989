#!/usr/bin/env bash
# qtractor's own plug-in scanner over a .clap: it must list exactly the plug-ins NAME..., each
# with two audio inputs and two outputs. Prints the scanner's lines
# (CLAP|name|audio in:out|midi in:out|params in:out|flags|path|index|id).
# Usage: qtractor-scan.sh PLUGIN.clap NAME...
set -uo pipefail
[ $# -ge 2 ] || { echo "usage: $0 PLUGIN.clap NAME..." >&2; exit 2; }
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
[ -x "$scanner" ] || { echo "$scanner is missing (Debian: qtractor)" >&2; exit 1; }
[ -f "$1" ] || { echo "$1: no such file" >&2; exit 1; }
file=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
# The scanner reads TYPE:PATH lines on stdin and says nothing of a file it cannot load.
lines=$(echo "CLAP:$file" | "$scanner" 2>/dev/null | grep '^CLAP|')
echo "$lines"
status=0
for name in "$@"; do
  found=$(awk -F'|' -v name="$name" '$2 == name { print $3 }' <<<"$lines")
  if [ "$found" != "2:2" ]; then
    echo "qtractor lists ${name}: ${found:-not at all}, 2:2 audio ports wanted" >&2
    status=1
  fi
done
count=$(grep -c . <<<"$lines")
[ "$count" -eq $# ] || { echo "qtractor lists $count plug-ins in $file, $# wanted" >&2; status=1; }
exit $status
