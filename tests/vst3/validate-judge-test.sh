#!/usr/bin/env bash
# validate.sh passes a bundle only when both validator runs end normally with tests run and none
# failed: checked against stand-in validators that report each way a real run can end.
# Usage: validate-judge-test.sh VALIDATE_SH WORKDIR
set -uo pipefail
validate=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# fake NAME STANDARD_RESULT STANDARD_EXIT EXTENDED_RESULT EXTENDED_EXIT: a validator that prints
# the result line given for its run (-e or not) and exits with that run's status.
fake() {
  cat >"$work/$1" <<FAKE
#!/usr/bin/env bash
if [ "\$1" = -e ]; then echo "$4"; exit $5; fi
echo "$2"; exit $3
FAKE
  chmod +x "$work/$1"
}
ok="Result: 47 tests passed, 0 tests failed"
fake good "$ok" 0 "Result: 537 tests passed, 0 tests failed" 0
fake extended_fails "$ok" 0 "Result: 530 tests passed, 7 tests failed" 255
fake nothing_run "Result: 0 tests passed, 0 tests failed" 0 "$ok" 0
fake crashes "[Process Test]" 139 "$ok" 0
fake aborts_after_result "$ok" 1 "$ok" 0
fake more_failed_than_ten "Result: 40 tests passed, 10 tests failed" 255 "$ok" 0

status=0
for name in good extended_fails nothing_run crashes aborts_after_result more_failed_than_ten; do
  "$validate" "$work/$name" "$work/bundle.vst3" >/dev/null 2>&1
  got=$?
  want=1; [ $name = good ] && want=0
  if [ $got -ne $want ]; then
    echo "$name: validate.sh exited $got, $want wanted" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "validate.sh judged all 6 reports right"
exit $status
