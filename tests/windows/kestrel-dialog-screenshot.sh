#!/usr/bin/env bash
# Kestrel.exe's real dialog (the resource compiled by windres) under Wine on a private Xvfb
# display, with a CJK font standing in for "MS Shell Dlg" so the Chinese texts show. Saves
# kestrel-windows-dialog.png (waiting for Osprey) and kestrel-windows-exit-question.png (after
# Esc) in the build folder, then answers Yes and checks that Kestrel ends.
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
import -window root "$BUILD_DIR/kestrel-windows-dialog.png"

# Esc asks the exit question; Enter takes its default answer, Yes, and the dialog ends. Keys go
# through XTEST to the focused window (Wine gives its own windows the focus).
question=""
for _ in 1 2 3; do
  xdotool windowfocus "$window" >/dev/null 2>&1 || true
  xdotool key Escape
  for _ in $(seq 1 50); do
    question=$(xdotool search --onlyvisible --name '^提示$' 2>/dev/null | tail -n 1 || true)
    [ -n "$question" ] && break 2
    sleep 0.1
  done
done
sleep 1
import -window root "$BUILD_DIR/kestrel-windows-exit-question.png"
[ -n "$question" ] || { echo "kestrel-dialog-screenshot: no exit question" >&2; exit 1; }
xdotool windowfocus "$question" >/dev/null 2>&1 || true
xdotool key Return
for _ in $(seq 1 100); do
  kill -0 "$kestrel" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$kestrel" 2>/dev/null; then
  echo "kestrel-dialog-screenshot: Kestrel did not end after Yes" >&2
  exit 1
fi
touch "$folder/stop"
# A picture with only a background in it shows no dialog.
colours=$(identify -format '%k' "$BUILD_DIR/kestrel-windows-dialog.png")
[ "$colours" -gt 8 ] || { echo "kestrel-dialog-screenshot: the screenshot is blank" >&2; exit 1; }
echo "kestrel-dialog-screenshot: $BUILD_DIR/kestrel-windows-dialog.png ($colours colours)"
