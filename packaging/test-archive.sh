#!/usr/bin/env bash
# The archive tests: pack a build's part of a release as scripts/package.sh does, twice, into
# temporary folders; the two archives must be the same bytes, and the check script must pass.
# Usage: packaging/test-archive.sh VERSION --buzz BUILD_DIR | --win64 BUILD_DIR | --linux BUILD_DIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 VERSION --buzz|--win64|--linux BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
version=$1 kind=$2 build=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
mkdir "$out/first" "$out/second"
archive=$("$root/scripts/package.sh" --pack "$out/first" "$kind" "$build")
again=$("$root/scripts/package.sh" --pack "$out/second" "$kind" "$build")
cmp "$archive" "$again" || { echo "test-archive: packing twice gave different bytes" >&2; exit 1; }
case $kind in
  --buzz) "$root/packaging/check-windows-archive.sh" "$archive" "$version" --buzz "$build/plugins" ;;
  --win64) "$root/packaging/check-windows-archive.sh" "$archive" "$version" --win64 "$build" ;;
  --linux) "$root/packaging/check-linux-archive.sh" "$archive" "$version" "$build" ;;
  *) echo "usage: $0 VERSION --buzz|--win64|--linux BUILD_DIR" >&2; exit 2 ;;
esac
