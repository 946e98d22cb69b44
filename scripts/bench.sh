#!/usr/bin/env bash
# Runs every benchmark executable of a build and prints its table.
# Usage: scripts/bench.sh <build-dir>
set -euo pipefail

build_dir=${1:?usage: scripts/bench.sh <build-dir>}
shopt -s nullglob
benches=("$build_dir"/bench/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "bench.sh: no benchmark executables under $build_dir/bench (built with TRADEWIRE_BUILD_BENCH?)" >&2
  exit 1
fi
for bench in "${benches[@]}"; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true
  echo
done
