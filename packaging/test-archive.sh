#!/usr/bin/env bash
# The archive test: packs BUILD_DIR's DLLs as scripts/package.sh does, into a temporary folder,
# and checks the archive against them and VERSION (the build's own project version).
# Usage: packaging/test-archive.sh BUILD_DIR VERSION
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR VERSION" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
archive=$("$root/scripts/package.sh" --from-build "$1" "$out")
"$root/packaging/check-archive.sh" "$archive" "$1/plugins" "$2"
