#!/usr/bin/env bash
# The 64-bit Wine probe's answers: a loader that starts is a yes, said silently; a missing one or
# one the kernel refuses ("Exec format error") is a no, said on one line. The real loader gives one
# of the two.
# Usage: probe-wine64-test.sh PROBE
set -uo pipefail
probe=${1:?usage: probe-wine64-test.sh PROBE}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# answer LOADER STATUS PATTERN: the probe with LOADER exits STATUS, saying one line matching
# PATTERN (nothing when PATTERN is empty).
answer() {
  local out status
  out=$(LUMO_WINE64=$1 "$probe")
  status=$?
  [ $status -eq "$2" ] || fail "$1: status $status, $2 wanted"
  if [ -z "$3" ]; then
    [ -z "$out" ] || fail "$1: said '$out'"
  else
    [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] && grep -q "$3" <<<"$out" || fail "$1: said '$out'"
  fi
}
answer /bin/true 0 ""
answer "$work/missing" 1 "64-bit Wine cannot run here: .*missing (Debian package wine64)"
# An ELF header for a machine no x86 kernel runs (AArch64), cut short.
printf '\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00' >"$work/foreign"
chmod +x "$work/foreign"
answer "$work/foreign" 1 "64-bit Wine cannot run here: .*does not start.*Exec format error"

out=$(env -u LUMO_WINE64 "$probe")
status=$?
case $status in
  0) [ -z "$out" ] || fail "the real loader: yes, but said '$out'" ;;
  1) grep -q '64-bit Wine cannot run here' <<<"$out" || fail "the real loader: no, but said '$out'" ;;
  *) fail "the real loader: status $status" ;;
esac
echo "the probe answers: 64-bit Wine $([ $status -eq 0 ] && echo runs || echo "cannot run") here; $failures failures"
[ $failures -eq 0 ]
