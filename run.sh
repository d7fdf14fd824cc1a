#!/usr/bin/env bash
# Builds the screensaver and runs it under Wine.
#
#   ./run.sh [/s | /c | /p | /a | /t] [--seconds N] [--probe]
#
# With a usable DISPLAY it runs there until it ends (a key or a mouse button
# ends a screensaver run). Without one it starts its own X server (1024x768x24),
# runs for N seconds (20 by default), saves screenshots to out/screenshots/,
# ends the program with a key press as a user would, and copies the log to
# out/SSELog.txt. /p runs the preview inside a small host window.
#
# --probe runs the test probe instead of the screensaver: the same window,
# device, input and loop code with an empty scene and no archives.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

mode=/s
seconds=20
probe=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --seconds=*) seconds=${1#*=}; shift ;;
    --probe) probe=1; shift ;;
    /*|-*) mode=$1; shift ;;
    *) echo "usage: ./run.sh [/s|/c|/p|/a|/t] [--seconds N] [--probe]" >&2; exit 2 ;;
  esac
done

./scripts/setup.sh
# The media archives are packed with host-built tools.
cmake --preset host-release >/dev/null
cmake --build --preset host-release --target rar2pack mediagen scenegen soundgen
cmake --preset win >/dev/null
cmake --build --preset win

scr=$(ls build/win/bin/*.scr)
if [ "$probe" = 1 ]; then
  scr=build/win/bin/screensaver_probe.exe
  export ZAV_PROBE_SECONDS=$((seconds + 30))
fi
host=build/win/bin/preview_host.exe
export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
mkdir -p out/screenshots

log_file() {
  ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/"VORNHALT Studio"/SSELog.txt 2>/dev/null | grep -v /Public/ | head -n 1
}

start_program() {
  if [ "$mode" = "/p" ] || [ "$mode" = "-p" ]; then
    wine "$host" "$scr" "$seconds" &
  else
    wine "$scr" "$mode" &
  fi
  program=$!
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_program
  wait "$program" || true
  [ -n "$(log_file)" ] && cp "$(log_file)" out/SSELog.txt && echo "log: out/SSELog.txt"
  exit 0
fi

# No display: a private X server, screenshots, and a key press at the end.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xserver=$!
trap 'wineserver -k 2>/dev/null; sleep 0.5; kill $xserver 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
wineserver -p </dev/null >/dev/null 2>&1 || true
if [ -f "$WINEPREFIX/system.reg" ]; then wineboot </dev/null >/dev/null 2>&1; else wineboot -i </dev/null >/dev/null 2>&1; fi

# A grey desktop, so the screenshots show what covers it.
convert -size 16x16 xc:'rgb(128,128,128)' out/desktop.png &&
  timeout 20 display -window root out/desktop.png >/dev/null 2>&1 || true
rm -f out/desktop.png out/screenshots/*.png
start_program
echo "running $mode for $seconds s on $display"
elapsed=0
shot=0
while [ "$elapsed" -lt "$seconds" ] && kill -0 "$program" 2>/dev/null; do
  sleep 1
  elapsed=$((elapsed + 1))
  if [ $((elapsed % 3)) -eq 0 ]; then
    shot=$((shot + 1))
    xwd -root -silent | convert xwd:- "out/screenshots/shot-$(printf %02d $shot).png" 2>/dev/null || true
  fi
done

if kill -0 "$program" 2>/dev/null; then
  echo "pressing Escape"
  xdotool key Escape || true
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
fi
status=0
if kill -0 "$program" 2>/dev/null; then
  echo "the program did not end after the key press; stopping it"
  kill "$program" 2>/dev/null || true
  status=1
else
  wait "$program" || status=$?
fi
echo "exit code: $status"
if [ -n "$(log_file)" ]; then cp "$(log_file)" out/SSELog.txt; echo "log: out/SSELog.txt"; fi
echo "screenshots: $(ls out/screenshots | wc -l) in out/screenshots/"
exit "$status"
