#!/usr/bin/env bash
# Ardour 7 lists each plug-in by its name in a category that matches CATEGORY_PATTERN (extended
# regular expression), and pairs its stereo ports: input and output channel i of the plug-in are
# channel i of their port groups, so a track's left goes to the plug-in's left.
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
status=0
for entry in "$@"; do
  id=${entry%%=*} name=${entry#*=}
  listed=$(awk -F'\t' -v id="$id" '$1 == "plugin" && $2 == id { print $3 "\t" $4 }' <<<"$report")
  if [ -z "$listed" ]; then
    echo "$id: not in Ardour's plug-in list" >&2; status=1; continue
  fi
  IFS=$'\t' read -r got_name got_category <<<"$listed"
  [ "$got_name" = "$name" ] || { echo "$id: named \"$got_name\", not \"$name\"" >&2; status=1; }
  [[ $got_category =~ $category ]] || { echo "$id: category \"$got_category\" does not match $category" >&2; status=1; }
  # The ports that follow this plug-in's line, up to the next plug-in.
  channels=$(awk -F'\t' -v id="$id" '$1 == "plugin" { on = ($2 == id) } on && $1 == "port" { print $2 $3 "=" $6 }' <<<"$report" | tr '\n' ' ')
  [ "$channels" = "in0=0 in1=1 out0=0 out1=1 " ] ||
    { echo "$id: Ardour reads the audio ports' channels as ${channels:-nothing}, not in0=0 in1=1 out0=0 out1=1" >&2; status=1; }
  [ $status -eq 0 ] && echo "$id: \"$got_name\" in \"$got_category\", channels $channels"
done
[ $status -eq 0 ] && rm -rf "$work"
exit $status
