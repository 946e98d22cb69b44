#!/usr/bin/env bash
# Gathers the Windows deliverables in <build folder>/dist: bin/ (Tradewire.dll, Kestrel.exe and
# the OpenSSL DLLs Tradewire loads: it looks for them beside itself, beside the program and in
# the system folder, never on PATH), lib/ (the import libraries: libTradewire.dll.a for MinGW
# terminals, Tradewire.lib for MSVC ones, made by llvm-dlltool) and include/ (the headers).
set -euo pipefail
BUILD_DIR=$(realpath -m "${1:-build-windows}")
DIST=$BUILD_DIR/dist
rm -rf "$DIST"
cmake --install "$BUILD_DIR" --prefix "$DIST" >/dev/null
cp "$BUILD_DIR"/deps/prefix/bin/libssl-3-x64.dll "$BUILD_DIR"/deps/prefix/bin/libcrypto-3-x64.dll \
  "$DIST/bin/"
for lib in libTradewire.dll.a Tradewire.lib; do
  [ -f "$DIST/lib/$lib" ] || { echo "windows: $lib is missing from $DIST/lib" >&2; exit 1; }
done
echo "windows: deliverables in $DIST"
ls "$DIST/bin" "$DIST/lib"
