#!/usr/bin/env bash
# Builds the whole tree with one sanitizer and runs the whole test suite under it.
#   scripts/sanitize.sh asan|tsan <build folder> [jobs]
# asan: AddressSanitizer with UndefinedBehaviorSanitizer, leak checking on.
# tsan: ThreadSanitizer.
# Every finding ends the test that made it (halt_on_error), so ctest reports it as a failure.
# The suppression files beside this script name each suppressed report with its reason.
set -euo pipefail

kind=${1:?asan or tsan}
build=${2:?build folder}
jobs=${3:-2}
root=$(cd "$(dirname "$0")/.." && pwd)
supp=$root/scripts/sanitizers

case "$kind" in
  asan) flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined" ;;
  tsan) flags="-fsanitize=thread" ;;
  *) echo "sanitize.sh: unknown sanitizer '$kind'" >&2; exit 2 ;;
esac

# Benchmarks measure the ordinary build; they have no place here.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g -fno-omit-frame-pointer" \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g -fno-omit-frame-pointer" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" \
  -DTRADEWIRE_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs"

common="halt_on_error=1"
export ASAN_OPTIONS="$common:detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="$common:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export TSAN_OPTIONS="$common:second_deadlock_stack=1:suppressions=$supp/tsan.supp:print_suppressions=0"

cd "$build"
status=0
# The install check is left out: it builds a terminal the way a customer does, without the
# sanitizer runtime, and such a program cannot load a library built with one. Every other test
# runs the library's code itself.
ctest --output-on-failure -j "$jobs" -LE 'install|gui' || status=1
# GTK's libraries are built without frame pointers, so the fast unwinder stops inside them and
# their process-long caches could not be told from leaks of ours; the GTK tests run with the
# full unwinder (too slow for the rest of the suite).
ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0" \
  ctest --output-on-failure -j "$jobs" -L gui || status=1
exit $status
