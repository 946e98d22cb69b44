#!/usr/bin/env bash
# Gathers the Windows deliverables in <build folder>/dist: bin/ (Tradewire.dll, Kestrel.exe and
# the OpenSSL DLLs Tradewire loads: it looks for them beside itself, beside the program and in
# the system folder, never on PATH), lib/ (the import library) and include/ (the headers).
set -euo pipefail
BUILD_DIR=$(realpath -m "${1:-build-windows}")
DIST=$BUILD_DIR/dist
rm -rf "$DIST"
cmake --install "$BUILD_DIR" --prefix "$DIST" >/dev/null
cp "$BUILD_DIR"/deps/prefix/bin/libssl-3-x64.dll "$BUILD_DIR"/deps/prefix/bin/libcrypto-3-x64.dll \
  "$DIST/bin/"
echo "windows: deliverables in $DIST"
ls "$DIST/bin" "$DIST/lib"
