#!/usr/bin/env bash
# Ardour 7 lists each plug-in by its name in a category that matches CATEGORY_PATTERN (extended
# regular expression), and pairs its stereo ports: input and output channel i of the plug-in are
# channel i of their port groups, so a track's left goes to the plug-in's left. WORK is emptied
# first and removed when the test passes.
# Usage: listing-test.sh WORK TYPE PLUGIN_PATH CATEGORY_PATTERN ID=NAME...
set -uo pipefail
[ $# -ge 5 ] || { echo "usage: $0 WORK TYPE PLUGIN_PATH CATEGORY_PATTERN ID=NAME..." >&2; exit 2; }
work=$1 type=$2 plugin_path=$3 category=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work"
source "$here/environment.sh"
ardour_environment "$work" "$type" "$plugin_path" || exit 1

ids=()
for entry in "$@"; do ids+=("${entry%%=*}"); done
report=$(ardour7-lua "$here/describe.lua" "$work/session" "$type" "${ids[@]}" 2>&1 | grep -E $'^(plugin|port)\t')

# check ID NAME: what describe.lua reported of that plug-in is right; says what is not.
check() {
  local id=$1 name=$2 listed got_name got_category channels
  listed=$(awk -F'\t' -v id="$id" '$1 == "plugin" && $2 == id { print $3 "\t" $4 }' <<<"$report")
  [ -n "$listed" ] || { echo "$id: not in Ardour's plug-in list" >&2; return 1; }
  IFS=$'\t' read -r got_name got_category <<<"$listed"
  [ "$got_name" = "$name" ] || { echo "$id: named \"$got_name\", not \"$name\"" >&2; return 1; }
  [[ $got_category =~ $category ]] || { echo "$id: category \"$got_category\" does not match $category" >&2; return 1; }
  # The ports listed after this plug-in's line, up to the next plug-in's.
  channels=$(awk -F'\t' -v id="$id" '$1 == "plugin" { on = ($2 == id) } on && $1 == "port" { print $2 $3 "=" $6 }' <<<"$report" | xargs)
  [ "$channels" = "in0=0 in1=1 out0=0 out1=1" ] ||
    { echo "$id: Ardour pairs the audio ports as ${channels:-nothing}, not in0=0 in1=1 out0=0 out1=1" >&2; return 1; }
  echo "$id: \"$got_name\" in \"$got_category\", channels $channels"
}
status=0
for entry in "$@"; do check "${entry%%=*}" "${entry#*=}" || status=1; done
[ $status -eq 0 ] && rm -rf "$work"
exit $status
