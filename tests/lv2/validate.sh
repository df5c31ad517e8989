#!/usr/bin/env bash
# lv2_validate over the bundle must print "Found 0 errors"; sordi must parse every .ttl (with the
# file's own URI as base, as hosts read it) with nothing on stderr; each plug-in carries what
# lv2lint asks for beyond that (a doap:shortdesc, an lv2:project with a doap:name, a maintainer's
# name, an rdfs:comment on every port), and each port group names its channels (pg:element).
set -uo pipefail
bundle=$(cd "$1" && pwd)
status=0
report=$(lv2_validate "$bundle"/*.ttl 2>&1)
if ! grep -q "Found 0 errors" <<<"$report"; then
  echo "$report" >&2
  status=1
fi
grep "^Found" <<<"$report"
# metadata_gaps TRIPLES: what a plug-in's N-Triples lack, one line each.
metadata_gaps() {
  awk '
    $2 == "<http://lv2plug.in/ns/lv2core#port>" { port[$3] = 1 }
    $2 == "<http://www.w3.org/2000/01/rdf-schema#comment>" { commented[$1] = 1 }
    $2 == "<http://usefulinc.com/ns/doap#shortdesc>" { shortdesc = 1 }
    $2 == "<http://lv2plug.in/ns/lv2core#project>" { project = $3 }
    $2 == "<http://usefulinc.com/ns/doap#name>" { named[$1] = 1 }
    $2 == "<http://xmlns.com/foaf/0.1/name>" { maintainer = 1 }
    $2 == "<http://lv2plug.in/ns/ext/port-groups#group>" { group[$3] = 1 }
    $2 == "<http://lv2plug.in/ns/ext/port-groups#element>" { elements[$1]++ }
    END {
      if (!shortdesc) print "no doap:shortdesc"
      if (!project || !named[project]) print "no lv2:project with a doap:name"
      if (!maintainer) print "no maintainer named"
      for (p in port) if (!commented[p]) print "a port without rdfs:comment"
      for (g in group) if (elements[g] != 2) print "group " g " names " elements[g] + 0 " channels, not 2"
    }' <<<"$1" | sort -u
}
for ttl in "$bundle"/*.ttl; do
  if [ "$(basename "$ttl")" != manifest.ttl ]; then
    gaps=$(metadata_gaps "$(sordi "file://$ttl" 2>/dev/null)")
    if [ -n "$gaps" ]; then
      echo "$(basename "$ttl"): $gaps" >&2
      status=1
    fi
  fi
  errors=$(sordi "file://$ttl" 2>&1 >/dev/null)
  if [ -n "$errors" ]; then
    echo "sordi $ttl: $errors" >&2
    status=1
  else
    echo "sordi $(basename "$ttl"): clean"
  fi
done
exit $status
