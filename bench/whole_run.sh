#!/usr/bin/env bash
# Builds and runs the whole-run benchmark over bench/designs (small, medium,
# large). Arguments go to the benchmark: --runs N, --threads 1,2,4, designs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DGSDSIM_BUILD_BENCH=ON \
  -DGSDSIM_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j 2 --target gsdsim_whole_run >/dev/null
exec build-bench/bench/gsdsim_whole_run "$@"
