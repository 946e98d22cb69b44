#!/usr/bin/env bash
# Runs the Windows build's test suite under Wine, in a Wine prefix inside the build folder.
# Non-GUI tests need no display; the dialog screenshot test starts its own Xvfb.
# Usage: test-windows.sh [build folder, default build-windows] [extra ctest arguments]
set -euo pipefail
BUILD_DIR=$(realpath -m "${1:-build-windows}")
shift || true
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)
JOBS=${JOBS:-2}

export WINEPREFIX=$BUILD_DIR/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
fi
# No persistent Wine server (wineserver -p): with one, a test program whose TLS handshake timed
# out finishes its tests but never exits under Wine 8.

# Tests that do not run under Wine, and why:
#  - install.*: installs the Linux build and compiles a terminal against it with the host's
#    compiler; the Windows deliverables are gathered by `make windows` in build-windows/dist.
#  - tradewire_terminal_login_against_s_server: runs the terminal as a Linux program;
#    windows.tiny_terminal_login_against_s_server runs the same script with the Windows terminal
#    and Tradewire.dll under Wine.
#  - ConnectionModules.TheOverrideNamesTheModulesToLoad: names the Linux modules (libssl.so.3);
#    TradewireWindows.TheSixtyFourBitOpenSslThreeNamesLoadAndConnect is its Windows side.
#  - RequestBuilders.HistoryRequestKeepsTimesBeyondThirtyTwoBits: long is 32 bits on Windows,
#    so the interface's times cannot go past January 2038 there.
#  - CaptureWriter.FoldersItMakesAreForTheirOwnerOnly: Windows has no permission bits; the
#    capture folders made there take their parent's permissions.
EXCLUDED='^install\.|^tradewire_terminal_login_against_s_server$'
EXCLUDED+='|^ConnectionModules\.TheOverrideNamesTheModulesToLoad$'
EXCLUDED+='|^RequestBuilders\.HistoryRequestKeepsTimesBeyondThirtyTwoBits$'
EXCLUDED+='|^CaptureWriter\.FoldersItMakesAreForTheirOwnerOnly$'

# The handshake-budget tests run on their own afterwards: under Wine 8, when other test programs
# run beside them, their program sometimes finishes every test and then does not exit.
ALONE='^ConnectionFixture\.AServerThatNeverAnswersTlsFailsWithFiveAfterTheBudget$'
ALONE+='|^ConnectionFixture\.AServerThatTricklesItsHandshakeFailsWithFiveWithinTheBudget$'

cd "$BUILD_DIR"
status=0
ctest --output-on-failure -j "$JOBS" -E "$EXCLUDED|$ALONE" "$@" || status=1
ctest --output-on-failure -R "$ALONE" "$@" || status=1
exit $status
