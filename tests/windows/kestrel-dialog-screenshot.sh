#!/usr/bin/env bash
# Kestrel.exe's real dialog (the resource compiled by windres) under Wine on a private Xvfb
# display, with a CJK font standing in for "MS Shell Dlg" so the Chinese texts show. Saves
# kestrel-windows-dialog.png (waiting for Osprey) and kestrel-windows-exit-question.png (after
# Esc) in the build folder, then answers Yes and checks that Kestrel ends. A second Kestrel asks
# again and is left unanswered while Osprey.exe exits: the question must close itself, the list
# be applied, Osprey.exe started again and Kestrel end.
# Usage: kestrel-dialog-screenshot.sh <build folder> <Kestrel.exe> <stand-in Osprey.exe>
set -euo pipefail
BUILD_DIR=$1
KESTREL=$2
STANDIN=$3
RUN=(bash "$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-run.sh" "$BUILD_DIR")
# A prefix of its own: Wine binds a prefix's desktop to the display of the first program that
# runs in it, and the other tests run without one.
export WINEPREFIX=$BUILD_DIR/wineprefix-gui
export WINEDLLOVERRIDES="mscoree,mshtml="
WORK=$(mktemp -d "$BUILD_DIR/kestrel-gui.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "kestrel-dialog-screenshot: $tool is missing" >&2; exit 1; }
done

# A display number nobody uses.
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "kestrel-dialog-screenshot: no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 640x400x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 1 50); do
  xdotool getmouselocation >/dev/null 2>&1 && break
  sleep 0.1
done

# "MS Shell Dlg" (and the message boxes' font) drawn with a font that holds Chinese, and Wine
# drawing the caption bars itself: Xvfb runs no window manager to draw them.
cat >"$WORK/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"Tahoma"="WenQuanYi Micro Hei"
REG
"${RUN[@]}" regedit /S "$WORK/fonts.reg"

folder=$WORK/program
mkdir -p "$folder"
cp "$KESTREL" "$folder/Kestrel.exe"
cp "$STANDIN" "$folder/Osprey.exe"
(cd "$WORK" && OSPREY_STANDIN_STAY="$folder/stop" exec "${RUN[@]}" "$folder/Osprey.exe") &
pids+=($!)
# A new prefix is made on first use, which takes a while.
for _ in $(seq 1 900); do
  [ -e "$folder/stop.ready" ] && break
  sleep 0.1
done

start_kestrel() {
  (cd "$WORK" && exec "${RUN[@]}" "$folder/Kestrel.exe" arg) &
  kestrel=$!
  pids+=($kestrel)
  # Wine may make and drop helper windows of the same name on the way: the visible one counts.
  window=""
  for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --name '更新更新程序' 2>/dev/null | tail -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "kestrel-dialog-screenshot: the dialog did not appear" >&2; exit 1; }
  # The first timer tick (1 s) has written the waiting text by then.
  sleep 2
}

# Esc asks the exit question. Keys go through XTEST to the focused window (Wine gives its own
# windows the focus).
ask_exit_question() {
  question=""
  for _ in 1 2 3; do
    xdotool windowfocus "$window" >/dev/null 2>&1 || true
    xdotool key Escape
    for _ in $(seq 1 50); do
      question=$(xdotool search --onlyvisible --name '^提示$' 2>/dev/null | tail -n 1 || true)
      [ -n "$question" ] && return 0
      sleep 0.1
    done
  done
}

# Waits up to $1 tenths of a second for Kestrel to end; fails with $2 when it does not.
expect_kestrel_ends() {
  for _ in $(seq 1 "$1"); do
    kill -0 "$kestrel" 2>/dev/null || return 0
    sleep 0.1
  done
  echo "kestrel-dialog-screenshot: $2" >&2
  exit 1
}

start_kestrel
import -window root "$BUILD_DIR/kestrel-windows-dialog.png"
ask_exit_question
sleep 1
import -window root "$BUILD_DIR/kestrel-windows-exit-question.png"
[ -n "$question" ] || { echo "kestrel-dialog-screenshot: no exit question" >&2; exit 1; }
# Enter takes the question's default answer, Yes, and the dialog ends.
xdotool windowfocus "$question" >/dev/null 2>&1 || true
xdotool key Return
expect_kestrel_ends 100 "Kestrel did not end after Yes"

mkdir -p "$folder/Osprey/new"
printf new >"$folder/Osprey/new/data.txt"
printf old >"$folder/data.txt"
printf '%s' '<Root><List><File><Src>Osprey\new\data.txt</Src><Dest>data.txt</Dest></File></List></Root>' \
  >"$folder/Osprey/UpCoverFileList.xml"
start_kestrel
ask_exit_question
[ -n "$question" ] || { echo "kestrel-dialog-screenshot: no second exit question" >&2; exit 1; }
touch "$folder/stop"
expect_kestrel_ends 300 "Kestrel still waits for an answer after Osprey.exe exited"
for _ in $(seq 1 100); do
  [ -e "$folder/osprey-launch.txt" ] && break
  sleep 0.1
done
[ -e "$folder/osprey-launch.txt" ] || { echo "kestrel-dialog-screenshot: Osprey.exe was not started again" >&2; exit 1; }
[ "$(cat "$folder/data.txt")" = new ] || { echo "kestrel-dialog-screenshot: the list was not applied" >&2; exit 1; }
[ ! -e "$folder/Osprey/UpCoverFileList.xml" ] || { echo "kestrel-dialog-screenshot: the list was kept" >&2; exit 1; }
# A picture with only a background in it shows no dialog.
colours=$(identify -format '%k' "$BUILD_DIR/kestrel-windows-dialog.png")
[ "$colours" -gt 8 ] || { echo "kestrel-dialog-screenshot: the screenshot is blank" >&2; exit 1; }
echo "kestrel-dialog-screenshot: $BUILD_DIR/kestrel-windows-dialog.png ($colours colours)"
