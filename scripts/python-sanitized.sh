#!/usr/bin/env bash
# Runs Debian's python3 with a sanitizer's runtime preloaded, for a Python module built with
# that sanitizer: python3 itself is not instrumented, and the runtime must be first in the
# process. libstdc++ is preloaded too, so that the runtime's interceptors find it at start.
#   scripts/python-sanitized.sh asan|tsan ARGS...
set -euo pipefail
kind=${1:?asan or tsan}
shift
cxx=${CXX:-g++}
stdcxx=$("$cxx" -print-file-name=libstdc++.so)
case "$kind" in
  asan)
    runtime="$("$cxx" -print-file-name=libasan.so) $("$cxx" -print-file-name=libubsan.so)"
    # The interpreter keeps its objects to the end and frees many of them never: a leak report
    # would be about CPython, not about us. Our own leaks are the C++ tests' to find.
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
    ;;
  tsan) runtime=$("$cxx" -print-file-name=libtsan.so) ;;
  *) echo "python-sanitized.sh: unknown sanitizer '$kind'" >&2; exit 2 ;;
esac
LD_PRELOAD="$runtime $stdcxx" exec /usr/bin/python3 "$@"
