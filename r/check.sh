#!/usr/bin/env bash
# Builds the R package's tarball and runs R CMD check on it in a scratch
# folder (removed afterwards), with the package's tests comparing against
# the command-line program PROGRAM. Fails on any error or warning.
# Usage: r/check.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
package=$(realpath "$(dirname "$0")")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
export MAKEFLAGS="-j${JOBS:-2}"
R CMD build --no-manual "$package"
# ggplot2 is suggested, not required: plot() falls back to base graphics.
GSDSIM_PROGRAM="$program" _R_CHECK_FORCE_SUGGESTS_=false \
  R CMD check --no-manual gsdsim_*.tar.gz
status=$(grep '^Status:' gsdsim.Rcheck/00check.log || true)
echo "R CMD check: ${status:-no status}"
if [[ -z "$status" || "$status" == *ERROR* || "$status" == *WARNING* ]]; then
  exit 1
fi
# The comparisons with the program must have run, not been skipped.
tests=$(grep -E '^\[ FAIL [0-9]+ \| WARN [0-9]+ \| SKIP [0-9]+ \| PASS [0-9]+ \]' \
  gsdsim.Rcheck/tests/testthat.Rout | tail -n 1)
echo "R package tests: ${tests:-no summary}"
if [[ -z "$tests" || "$tests" != *"SKIP 0 |"* ]]; then
  exit 1
fi
