#!/usr/bin/env bash
# Steinberg's validator over one VST3 bundle, its standard tests and then its extended ones (-e):
# passes only when both runs end normally, report at least one test and "0 tests failed".
# Usage: validate.sh VALIDATOR BUNDLE.vst3
set -uo pipefail
[ $# -eq 2 ] || { echo "usage: $0 VALIDATOR BUNDLE.vst3" >&2; exit 2; }
validator=$1 bundle=$2
status=0
run() {
  local label=$1; shift
  local report code result
  report=$("$validator" "$@" "$bundle" 2>&1)
  code=$?
  result=$(grep -E '^Result: [0-9]+ tests passed, [0-9]+ tests failed' <<<"$report" | tail -n 1)
  if [ $code -eq 0 ] && [[ $result =~ ^Result:\ ([0-9]+)\ tests\ passed,\ 0\ tests\ failed ]] &&
     [ "${BASH_REMATCH[1]}" -gt 0 ]; then
    echo "$label: $result"
    return
  fi
  # The failing tests with the lines before them, and the end of the report (a crash shows there).
  grep -E -B 3 'Failed\]|Failed to|ERROR|runtime error' <<<"$report" | head -n 60 >&2
  tail -n 20 <<<"$report" >&2
  echo "$label: FAILED (exit $code; ${result:-no result line})" >&2
  status=1
}
run "standard tests"
run "extended tests" -e
exit $status
