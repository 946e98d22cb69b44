#!/usr/bin/env bash
# usage: check-install.sh <build-dir> <this-folder> <scratch-prefix>
# Installs the project, checks what was installed and builds terminals against it.
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

# The installed example terminal, built out of tree once through pkg-config and once through
# find_package, runs a whole session against the installed simulator.
examples="$prefix/share/tradewire/examples"
# shellcheck disable=SC2046
g++ -std=c++17 -Wall -Wextra -o "$prefix-consumer/example-terminal" "$examples/terminal.cpp" \
  $(pkg-config --cflags --libs tradewire)
cmake -S "$examples" -B "$prefix-consumer/example" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$prefix-consumer/example" > /dev/null

"$prefix/bin/tradewire-sim" --port 0 --port-file "$prefix-consumer/port" \
  --pin-file "$prefix-consumer/pin" --notice-every 0 --quiet > /dev/null &
sim=$!
trap 'kill "$sim" 2> /dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s "$prefix-consumer/port" ] && [ -s "$prefix-consumer/pin" ] && break
  sleep 0.1
done
port=$(cat "$prefix-consumer/port")

# Called in a condition, where errexit is off: every check is chained.
check_session() {
  local output=$1
  grep -qE '^balance [0-9]+\.[0-9]{2}$' <<< "$output" &&
    [ "$(grep -cE '^quote [A-Z]+ [0-9.]+/[0-9.]+$' <<< "$output")" = 3 ] &&
    grep -qE '^opened #[0-9]+ [A-Z]+ at [0-9.]+$' <<< "$output" &&
    grep -qE '^closed #[0-9]+ at [0-9.]+$' <<< "$output" &&
    grep -qE '^done: Logged out: demo' <<< "$output"
}
if ! session=$("$prefix-consumer/example-terminal" "$port" "$(cat "$prefix-consumer/pin")") ||
  ! check_session "$session"; then
  printf 'the example (pkg-config, pinned) printed:\n%s\n' "$session" >&2
  exit 1
fi
if ! session=$("$prefix-consumer/example/example-terminal" "$port") ||
  ! check_session "$session"; then
  printf 'the example (CMake) printed:\n%s\n' "$session" >&2
  exit 1
fi
echo "install check passed"
