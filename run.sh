#!/usr/bin/env bash
# Builds the screensaver and runs it under Wine.
#
#   ./run.sh [/s | /c | /p | /a | /t] [--seconds N] [--probe]
#
# With a usable DISPLAY it runs there until it ends (a key or a mouse button
# ends a screensaver run). Without one it starts its own X server (1024x768x24),
# runs for N seconds (20 by default), saves a screenshot a second to
# out/screenshots/ (shot-NNN.png after NNN seconds),
# ends the program with a key press as a user would, and copies the log to
# out/SSELog.txt. /p runs the preview inside a small host window.
#
# --probe runs the test probe instead of the screensaver: the same window,
# device, input and loop code with an empty scene and no archives.
set -euo pipefail
cd "$(dirname "$0")"

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
. scripts/xvfb-session.sh
mkdir -p out/screenshots

start_program() {
  if [ "$mode" = "/p" ] || [ "$mode" = "-p" ]; then
    zav_start "$host" "$scr" "$seconds"
  else
    zav_start "$scr" "$mode"
  fi
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_program
  wait "$zav_program" || true
  [ -n "$(zav_log_file)" ] && cp "$(zav_log_file)" out/SSELog.txt && echo "log: out/SSELog.txt"
  exit 0
fi

# No display: a private X server, screenshots, and a key press at the end.
zav_begin_session 0
rm -f out/screenshots/*.png
start_program
echo "running $mode for $seconds s on $DISPLAY"
# One screenshot a second, shot-NNN.png after NNN seconds; each is saved in
# the background so that a slow conversion does not delay the next.
started=$(zav_now_ns)
elapsed=0
captures=()
while [ "$elapsed" -lt "$seconds" ] && zav_running; do
  elapsed=$((elapsed + 1))
  zav_sleep_until $((started + elapsed * 1000000000))
  zav_running || break
  zav_screenshot "out/screenshots/shot-$(printf %03d "$elapsed").png" &
  captures+=($!)
done
[ ${#captures[@]} -eq 0 ] || wait "${captures[@]}" || true

if zav_running; then echo "pressing Escape"; fi
status=0
zav_end_with_key || status=$?
echo "exit code: $status"
if [ -n "$(zav_log_file)" ]; then cp "$(zav_log_file)" out/SSELog.txt; echo "log: out/SSELog.txt"; fi
echo "screenshots: $(ls out/screenshots | wc -l) in out/screenshots/"
exit "$status"
