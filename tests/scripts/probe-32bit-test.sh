#!/usr/bin/env bash
# The 32-bit probe's two answers: a program that starts is a yes, said silently; a file the
# kernel refuses ("Exec format error") is a no, said on one line. The built-in program gives
# one of the two.
# Usage: probe-32bit-test.sh PROBE
set -uo pipefail
probe=${1:?usage: probe-32bit-test.sh PROBE}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

out=$("$probe" /bin/true)
status=$?
[ $status -eq 0 ] && [ -z "$out" ] || fail "a program that starts: status $status, said '$out'"

# An ELF header for a machine no x86 kernel runs (AArch64), cut short.
printf '\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00' >"$work/foreign"
chmod +x "$work/foreign"
out=$("$probe" "$work/foreign")
status=$?
[ $status -eq 1 ] || fail "a file that cannot start: status $status"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] && grep -q 'cannot start 32-bit.*Exec format error' <<<"$out" ||
  fail "a file that cannot start: said '$out'"

out=$("$probe")
status=$?
case $status in
  0) [ -z "$out" ] || fail "built-in program: yes, but said '$out'" ;;
  1) grep -q 'cannot start 32-bit' <<<"$out" || fail "built-in program: no, but said '$out'" ;;
  *) fail "built-in program: status $status" ;;
esac
echo "the probe answers: built-in program $([ $status -eq 0 ] && echo yes || echo no); $failures failures"
[ $failures -eq 0 ]
