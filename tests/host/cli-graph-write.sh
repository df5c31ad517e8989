#!/usr/bin/env bash
# lumo graph writes OUT as a whole or not at all: a read-only OUT is refused and kept byte for
# byte, --force replaces it, and no temporary file is left beside it.
# Usage: tests/host/cli-graph-write.sh DIR DIR_AS_LUMO_SEES_IT LUMO [ARGUMENTS...]
#   (under Wine: /tmp/x, Z:/tmp/x, scripts/wine-run.sh lumo.exe)
set -uo pipefail
dir=$1 seen=$2
shift 2
fail() { echo "cli-graph-write: $*" >&2; exit 1; }
work=$dir/cli-graph-write
rm -rf "$work" && mkdir -p "$work"

"$@" graph Lumo-15 -o "$seen/cli-graph-write/out.png" >/dev/null 2>&1 || fail "the first graph failed"
[ "$(head -c 8 "$work/out.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "out.png is no PNG"
cp "$work/out.png" "$work/first.png"
chmod a-w "$work/out.png"

refused=$("$@" graph Lumo-15 -o "$seen/cli-graph-write/out.png" --set Range=32 --set 1kHz=128 2>&1) &&
  fail "a read-only OUT was replaced without --force"
[[ $refused == *"read-only"* ]] || fail "the refusal says: $refused"
cmp -s "$work/out.png" "$work/first.png" || fail "the refused run changed out.png"

"$@" graph Lumo-15 -o "$seen/cli-graph-write/out.png" --set Range=32 --set 1kHz=128 --force >/dev/null 2>&1 ||
  fail "--force did not replace a read-only OUT"
cmp -s "$work/out.png" "$work/first.png" && fail "--force left the old image"
leftovers=$(find "$work" -name '.*.tmp')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
echo "cli-graph-write: refused, kept, replaced with --force, nothing left behind"
