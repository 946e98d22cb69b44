#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine: the build folder's own Wine prefix and
# no Wine debug chatter. The OpenSSL DLLs are not put on any search path: the build copies them
# beside Tradewire.dll and each test program, where Tradewire looks for them. CMake uses this as
# the emulator for test discovery and ctest; usage: wine-run.sh <build folder> <program> ...
set -euo pipefail
BUILD_DIR=$1
shift
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts when the prefix is made on first use.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
