#!/usr/bin/env bash
# usage: scripts/format-check.sh
# Fails when a tracked C++ source or header differs from what clang-format (.clang-format)
# makes of it, and names the files. Fast: nothing is built. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ ${#sources[@]} -eq 0 ]; then
  exit 0
fi
unformatted=$(printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 16 clang-format --dry-run 2>&1 |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  echo "$unformatted"
  echo "format-check: the files above are not formatted (clang-format -i FILE)" >&2
  exit 1
fi
echo "format-check: clean (${#sources[@]} files)"
