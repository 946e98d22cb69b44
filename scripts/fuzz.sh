#!/usr/bin/env bash
# usage: scripts/fuzz.sh <fuzz-build-dir> <seconds per target> [target ...]
# Runs each libFuzzer target (default: one per folder of fuzz/corpus/) for the given time, one
# after the other at the lowest priority, over the seed corpus in fuzz/corpus/<target>/ and a
# working corpus in fuzz-out/<target>/corpus/ that grows from run to run, with the dictionary
# fuzz/dict/<target>.dict when there is one. An input that crashes,
# leaks or hangs is kept in fuzz-out/<target>/ and makes the script fail. Prints a table.
set -euo pipefail

build_dir=${1:?usage: scripts/fuzz.sh <fuzz-build-dir> <seconds> [target ...]}
seconds=${2:?usage: scripts/fuzz.sh <fuzz-build-dir> <seconds> [target ...]}
shift 2
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_OUT:-$repo/fuzz-out}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$repo"/fuzz/corpus/*/; do
    targets+=("$(basename "$dir")")
  done
fi

summary=()
failed=0
for target in "${targets[@]}"; do
  binary="$build_dir/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz: $binary is missing; build first (make fuzz)" >&2
    exit 1
  fi
  work="$out/$target"
  mkdir -p "$work/corpus"
  log="$work/last-run.log"
  echo "== $target for ${seconds}s"
  status=0
  dict=()
  if [ -f "$repo/fuzz/dict/$target.dict" ]; then
    dict=(-dict="$repo/fuzz/dict/$target.dict")
  fi
  # -timeout: one input taking this long counts as a hang; -rss_limit_mb: as a runaway.
  nice -n 19 "$binary" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/" "${dict[@]}" "$work/corpus" \
    "$repo/fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    result=clean
  else
    result="FAILED (exit $status, see $log)"
    failed=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 >&2 || true
  fi
  summary+=("$(printf '%-20s %8ss %12s %8s  %s' "$target" "$seconds" "${runs:-?}" \
    "${coverage:-?}" "$result")")
done

echo
printf '%-20s %9s %12s %8s  %s\n' target time executions coverage result
printf '%s\n' "${summary[@]}"
exit "$failed"
