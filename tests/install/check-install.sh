#!/usr/bin/env bash
# usage: check-install.sh <build-dir> <this-folder> <scratch-prefix>
set -euo pipefail
build=$1
here=$2
prefix=$3
rm -rf "$prefix" "$prefix-consumer"
cmake --install "$build" --prefix "$prefix" > /dev/null

test -f "$prefix/include/tradewire/Tradewire.h"
test -f "$prefix/include/tradewire/TradewireExport.h"
test -f "$prefix/lib/pkgconfig/tradewire.pc"
test -f "$prefix/lib/cmake/Tradewire/TradewireConfig.cmake"
test -x "$prefix/bin/Kestrel"

# Only the interface is exported: internal classes stay hidden.
if nm -DC "$prefix"/lib/libtradewire.so | grep -q " T CForexProtocol::"; then
  echo "internal protocol symbols leak from the shared library" >&2
  exit 1
fi

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
mkdir -p "$prefix-consumer"
# shellcheck disable=SC2046
g++ -std=c++17 -Wall -Wextra -o "$prefix-consumer/terminal" "$here/example_terminal.cpp" \
  $(pkg-config --cflags --libs tradewire)
"$prefix-consumer/terminal"

cmake -S "$here/consumer" -B "$prefix-consumer/cmake" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$prefix-consumer/cmake" > /dev/null
"$prefix-consumer/cmake/terminal"
echo "install check passed"
