#!/usr/bin/env bash
# lv2_validate over the bundle must print "Found 0 errors"; sordi must parse every .ttl (with the
# file's own URI as base, as hosts read it) with nothing on stderr.
set -uo pipefail
bundle=$1
status=0
report=$(lv2_validate "$bundle"/*.ttl 2>&1)
if ! grep -q "Found 0 errors" <<<"$report"; then
  echo "$report" >&2
  status=1
fi
grep "^Found" <<<"$report"
for ttl in "$bundle"/*.ttl; do
  errors=$(sordi "file://$ttl" 2>&1 >/dev/null)
  if [ -n "$errors" ]; then
    echo "sordi $ttl: $errors" >&2
    status=1
  else
    echo "sordi $(basename "$ttl"): clean"
  fi
done
exit $status
