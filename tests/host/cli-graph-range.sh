#!/usr/bin/env bash
# lumo graph's stated size range is the one its window takes: the largest size it states is
# drawn at that size, one pixel wider is refused with one line naming --size and the same range.
# Usage: tests/host/cli-graph-range.sh OUT_DIR_AS_LUMO_SEES_IT LUMO [ARGUMENTS...]
#   (under Wine: Z:/tmp/..., scripts/wine-run.sh lumo.exe)
set -uo pipefail
out=$1
shift
fail() { echo "cli-graph-range: $*" >&2; exit 1; }

range=$("$@" graph --help | grep -o 'from [0-9]*x[0-9]* to [0-9]*x[0-9]*') || fail "graph --help states no range"
read -r _ low _ high <<<"$range"
width=${high%x*} height=${high#*x}

drawn=$("$@" graph Lumo-15 -o "$out/lumo-graph-range.png" --size "$high" 2>&1) || fail "--size $high refused: $drawn"
[[ $drawn == *"($high)"* ]] || fail "--size $high drew: $drawn"
refused=$("$@" graph Lumo-15 -o "$out/lumo-graph-range.png" --size "$((width + 1))x$height" 2>&1) &&
  fail "--size $((width + 1))x$height was accepted"
[[ $refused == *"--size $((width + 1))x$height"*"$low to $high"* ]] || fail "the refusal says: $refused"
echo "cli-graph-range: client sizes $low to $high"
