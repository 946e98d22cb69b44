#!/usr/bin/env bash
# usage: scripts/lint.sh <build-dir>
# Runs clang-tidy (checks in .clang-tidy) over the project's own sources and fails on any
# finding. The build folder provides compile_commands.json.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files 'tradewire/*.cpp' 'kestrel/*.cpp' 'tools/*.cpp')
if [ ${#sources[@]} -eq 0 ]; then
  exit 0
fi
out=$(mktemp)
status=0
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
  > "$out" 2>/dev/null || status=$?
if grep -E "(warning|error):" "$out"; then
  echo "lint: findings above" >&2
  rm -f "$out"
  exit 1
fi
rm -f "$out"
if [ "$status" -ne 0 ]; then
  echo "lint: clang-tidy failed (status $status)" >&2
  exit "$status"
fi
echo "lint: clean (${#sources[@]} files)"
