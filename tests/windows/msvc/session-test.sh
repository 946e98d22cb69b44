#!/usr/bin/env bash
# The terminal session under Wine, twice: SessionTerminal.cpp built with Microsoft's ABI and
# with MinGW, each against its own run of the session server. Both must complete, leave the
# process heap sound, and log the same callbacks and getter results line for line.
# Usage: session-test.sh <build folder> <server> <MinGW terminal> <MSVC terminal> <DLL folder>
set -euo pipefail
build=$1 server=$2 mingw_terminal=$3 msvc_terminal=$4 dll_dir=$5
scripts=$(cd "$(dirname "$0")/../../../scripts" && pwd)
work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Terminals find Tradewire.dll (and OpenSSL beside it) on the Wine search path, as a customer's
# installation puts it on PATH.
export WINEPATH="Z:$dll_dir"

# Runs one terminal against a fresh server; its log lands in $work/<name>.log.
run_session() {
  local name=$1 terminal=$2
  rm -f "$work/port"
  bash "$scripts/wine-run.sh" "$build" "$server" "Z:$work/port" > "$work/$name.server" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 300); do
    [ -s "$work/port" ] && break
    sleep 0.1
  done
  [ -s "$work/port" ] || { echo "$name: the server did not start"; cat "$work/$name.server"; exit 1; }
  local status=0
  timeout 120 bash "$scripts/wine-run.sh" "$build" "$terminal" "$(tr -d '\r\n' < "$work/port")" \
    "Z:$work/$name.log" || status=$?
  local server_status=0
  wait "$server_pid" || server_status=$?
  server_pid=""
  if [ "$status" -ne 0 ] || [ "$server_status" -ne 0 ]; then
    echo "$name terminal exited with $status, its server with $server_status"
    cat "$work/$name.server" "$work/$name.log" 2>/dev/null || true
    exit 1
  fi
}

run_session mingw "$mingw_terminal"
run_session msvc "$msvc_terminal"
if ! diff -u "$work/mingw.log" "$work/msvc.log"; then
  echo "the MSVC terminal's log differs from the MinGW terminal's"
  exit 1
fi
# The session reaches every callback but the two spare ones, which the library never calls.
for callback in OnErrorCode OnTextMessage OnLoginReply OnAccountInfo OnCurrencysInfo \
  OnForexMerchs OnBargainsInfo OnOrdersInfo OnHistoryOrderInfo OnGroupInfo OnBaseInfo \
  OnBroadCast OnRealtimePrice OnSocketError OnBargainOpened OnOpenRefused OnBargainClosed \
  OnCloseRefused OnOrderAdded OnOrderRefused OnOrderChanged OnChangeRefused OnOrderDeleted \
  OnDeleteRefused; do
  grep -q "^$callback " "$work/msvc.log" || grep -q "^$callback\$" "$work/msvc.log" ||
    { echo "the session never reached $callback"; cat "$work/msvc.log"; exit 1; }
done
echo "MSVC and MinGW terminals logged the same $(wc -l < "$work/msvc.log") lines:"
cat "$work/msvc.log"
