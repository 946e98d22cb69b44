#!/usr/bin/env bash
# Kestrel.exe end to end under Wine, on the console front-end (KESTREL_CONSOLE=1), in scratch
# program folders with the Win32 stand-in Osprey.exe: it waits while Osprey runs, applies the
# cover-file list once Osprey has gone, deletes the list and starts Osprey again with the
# argument it was given and the word Kestrel; without an argument it ends at once; when the
# list cannot be applied it says so and starts nothing.
# Usage: kestrel-end-to-end.sh <build folder> <Kestrel.exe> <stand-in Osprey.exe>
set -euo pipefail
BUILD_DIR=$1
KESTREL=$2
STANDIN=$3
RUN=(bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh" "$BUILD_DIR")
WORK=$(mktemp -d "$BUILD_DIR/kestrel-e2e.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

wait_for_file() {
  local path=$1 limit=$2
  for _ in $(seq 1 $((limit * 10))); do
    [ -e "$path" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits for a process we started, at most <limit> seconds; false when it is still running.
wait_for_exit() {
  local pid=$1 limit=$2
  for _ in $(seq 1 $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  return 1
}

new_program_folder() {
  local folder=$WORK/$1
  mkdir -p "$folder/Osprey/new"
  cp "$KESTREL" "$folder/Kestrel.exe"
  cp "$STANDIN" "$folder/Osprey.exe"
  printf 'old' >"$folder/a.txt"
  printf 'new' >"$folder/Osprey/new/a.txt"
  printf '%s' '<?xml version="1.0" encoding="UTF-8"?><Root><List UpdateTime="2024-05-01 10:20:30"><File><Src>Osprey\new\a.txt</Src><Dest>a.txt</Dest></File></List></Root>' \
    >"$folder/Osprey/UpCoverFileList.xml"
  echo "$folder"
}

# 1. Osprey still running: Kestrel waits, then applies, deletes the list and restarts Osprey.
folder=$(new_program_folder "Program Folder")
(cd "$WORK" && OSPREY_STANDIN_STAY="$folder/stop" exec "${RUN[@]}" "$folder/Osprey.exe") &
osprey=$!
wait_for_file "$folder/stop.ready" 30 || fail "the waiting Osprey did not start"
(cd "$WORK" && KESTREL_CONSOLE=1 exec "${RUN[@]}" "$folder/Kestrel.exe" "-update 7" \
  </dev/null 2>"$WORK/waiting.err") &
kestrel=$!
for _ in $(seq 1 300); do
  grep -q '正在等待Osprey.exe退出!' "$WORK/waiting.err" && break
  sleep 0.1
done
# A few more checks of the waiting loop (one each timer tick) before Osprey goes.
sleep 1
grep -q '正在等待Osprey.exe退出!' "$WORK/waiting.err" || fail "no waiting text: $(cat "$WORK/waiting.err")"
[ "$(cat "$folder/a.txt")" = old ] || fail "applied while Osprey was running"
kill -0 "$kestrel" 2>/dev/null || fail "Kestrel ended while Osprey was running"
touch "$folder/stop"
wait_for_exit "$osprey" 30 || fail "the waiting Osprey did not end"
wait_for_exit "$kestrel" 60 || { fail "Kestrel did not end after Osprey"; kill "$kestrel" 2>/dev/null || true; }
grep -q '正在应用更新...' "$WORK/waiting.err" || fail "no applying text"
[ "$(cat "$folder/a.txt")" = new ] || fail "the list was not applied"
[ ! -e "$folder/Osprey/UpCoverFileList.xml" ] || fail "the list was not deleted"
[ ! -e "$folder/Osprey/new/a.txt" ] || fail "the new file was not removed"
if wait_for_file "$folder/osprey-launch.txt" 30; then
  record=$(tr -d '\r' <"$folder/osprey-launch.txt")
  expected_tail='" -update 7 Kestrel'
  line2=$(sed -n 2p <<<"$record")
  [[ "$line2" == \"*Osprey.exe"$expected_tail" ]] || fail "restart command line: $line2"
  [ "$(sed -n 3p <<<"$record")" = "-update" ] || fail "restart arguments: $record"
  [ "$(sed -n 5p <<<"$record")" = "Kestrel" ] || fail "restart arguments: $record"
  [[ "$(sed -n 1p <<<"$record")" == *"Program Folder" ]] || fail "restart folder: $record"
else
  fail "Osprey was not restarted"
fi

# 2. Without an argument Kestrel ends at once, silently, and starts nothing.
folder=$(new_program_folder "no-argument")
(cd "$WORK" && KESTREL_CONSOLE=1 exec "${RUN[@]}" "$folder/Kestrel.exe" </dev/null \
  2>"$WORK/no-argument.err") &
kestrel=$!
wait_for_exit "$kestrel" 30 || { fail "Kestrel without argument did not end"; kill "$kestrel" || true; }
[ "$(cat "$folder/a.txt")" = old ] || fail "applied without an argument"
[ ! -e "$folder/osprey-launch.txt" ] || fail "started Osprey without an argument"
grep -q '提示' "$WORK/no-argument.err" && fail "a message without an argument"

# 3. A list that cannot be read: the failure message, the list kept, Osprey not started.
folder=$(new_program_folder "broken-list")
printf 'not xml' >"$folder/Osprey/UpCoverFileList.xml"
(cd "$WORK" && KESTREL_CONSOLE=1 exec "${RUN[@]}" "$folder/Kestrel.exe" x </dev/null \
  2>"$WORK/broken.err") &
kestrel=$!
wait_for_exit "$kestrel" 30 || { fail "Kestrel with a broken list did not end"; kill "$kestrel" || true; }
grep -q '更新应用失败, 程序无法启动! 你可以需要重新安装本程序.' "$WORK/broken.err" ||
  fail "no failure message: $(cat "$WORK/broken.err")"
[ -e "$folder/Osprey/UpCoverFileList.xml" ] || fail "the broken list was deleted"
sleep 1
[ ! -e "$folder/osprey-launch.txt" ] || fail "started Osprey after a failed list"

if [ "$failures" -ne 0 ]; then
  echo "kestrel-end-to-end: $failures failure(s)" >&2
  exit 1
fi
echo "kestrel-end-to-end: passed"
