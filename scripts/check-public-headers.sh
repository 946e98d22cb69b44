#!/usr/bin/env bash
# usage: scripts/check-public-headers.sh <c++ compiler> <include folder>...
# Compiles every public header of the first include folder alone, without the C++ standard
# library's headers (-nostdinc++): a terminal built with another compiler and runtime must be
# able to read them, so they may include C headers only. Also fails on any angle-bracket
# include that does not name a .h file, which catches a standard header the compiler happens
# to find elsewhere. Builds nothing; fast.
set -euo pipefail
compiler=$1
shift
headers=$1
includes=()
for folder in "$@"; do
  includes+=(-I "$folder")
done

failures=0
for header in "$headers"/tradewire/*.h; do
  name=tradewire/$(basename "$header")
  if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<[^>]*>' "$header" |
    grep -vE '<[^>]*\.h>'; then
    echo "$name: includes a header that is not a C header"
    failures=$((failures + 1))
  fi
  if ! echo "#include <$name>" |
    "$compiler" -std=c++17 -nostdinc++ -fsyntax-only -Wall -Werror "${includes[@]}" -x c++ -; then
    echo "$name: does not compile on its own without the C++ standard library"
    failures=$((failures + 1))
  fi
done
if [ "$failures" -gt 0 ]; then
  exit 1
fi
echo "public headers: C headers only, each compiles alone"
