#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine: the build folder's own Wine prefix,
# no Wine debug chatter, and the cross-built OpenSSL DLLs on the DLL search path. CMake uses it
# as the emulator for test discovery and ctest; usage: wine-run.sh <build folder> <program> ...
set -euo pipefail
BUILD_DIR=$1
shift
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts when the prefix is made on first use.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# WINEPATH takes Windows paths; the Unix root is drive Z:.
export WINEPATH="Z:${BUILD_DIR//\//\\}\\deps\\prefix\\bin${WINEPATH:+;$WINEPATH}"
exec wine "$@"
