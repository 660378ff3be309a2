#!/usr/bin/env bash
# Rewrites tests/e2e/expected/ from the current build, for a change that is
# meant to alter the console output or the reports. Review the diff before
# committing it: these files are the reference the end-to-end tests hold the
# program to, byte for byte.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exe="${1:-$here/../../build/gsdsim}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# The test designs, and the shipped examples under the prefix "example_".
for design in "$here"/designs/*.dsn "$here"/../../examples/*.dsn; do
  name="$(basename "$design" .dsn)"
  case "$design" in */examples/*) name="example_$name" ;; esac
  report="$(sed -n 14p "$design" | awk '{print $1}')"
  (cd "$work" && "$exe" < "$design" > "$here/expected/$name.console")
  cp "$work/$report" "$here/expected/$name.report"
done
