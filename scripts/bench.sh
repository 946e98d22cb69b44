#!/usr/bin/env bash
# Runs every benchmark executable of a build and prints its table, after the facts about the
# machine that the figures depend on (cores, CPU model, memory, load).
# Usage: scripts/bench.sh <build-dir> [name...] [-- benchmark options...]
#   name: run only bench_<name> (for example: endtoend messageparse)
#   benchmark options go to every executable (for example: --benchmark_min_time=0.1)
set -euo pipefail

build_dir=${1:?usage: scripts/bench.sh <build-dir> [name...] [-- benchmark options...]}
shift
names=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  names+=("$1")
  shift
done
[ "${1:-}" = "--" ] && shift
options=("$@")

shopt -s nullglob
if [ ${#names[@]} -eq 0 ]; then
  benches=("$build_dir"/bench/bench_*)
else
  benches=()
  for name in "${names[@]}"; do
    benches+=("$build_dir/bench/bench_$name")
  done
fi
if [ ${#benches[@]} -eq 0 ]; then
  echo "bench.sh: no benchmark executables under $build_dir/bench (built with TRADEWIRE_BUILD_BENCH?)" >&2
  exit 1
fi

echo "== machine"
echo "cores:  $(nproc)"
echo "cpu:    $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "memory: $(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
echo "load:   $(cut -d ' ' -f 1-3 /proc/loadavg) (1, 5, 15 min) at $(date -u '+%Y-%m-%d %H:%M UTC')"
echo

for bench in "${benches[@]}"; do
  if [ ! -x "$bench" ]; then
    echo "bench.sh: $bench is missing" >&2
    exit 1
  fi
  echo "== $(basename "$bench")"
  "$bench" --benchmark_counters_tabular=true "${options[@]}"
  echo
done
echo "load after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
