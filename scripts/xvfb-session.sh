# shellcheck shell=bash
# Sourced by the scripts that run the screensaver in an X server of their own
# (run.sh without a display, measure-startup.sh, soak.sh): the Wine prefix of
# this checkout, a private Xvfb on a free display, the program's Linux
# process, its memory figures and the key press that ends it.
#
# Wine starts the program in the process that `wine` itself runs as, so the
# pid of the background job is the screensaver's Linux process.

zav_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$zav_root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
zav_screensaver="$zav_root/build/win/bin/NightHarbor3D.scr"
zav_program=""
zav_xserver=""
zav_width=1024
zav_height=768

# Builds what the screensaver needs and nothing else: the host tools that pack
# its media, then the .scr itself.
zav_build_screensaver() {
  (cd "$zav_root" &&
    ./scripts/setup.sh &&
    cmake --preset host-release >/dev/null &&
    cmake --build --preset host-release --target rar2pack mediagen scenegen soundgen >/dev/null &&
    cmake --preset win >/dev/null &&
    cmake --build --preset win --target screensaver >/dev/null)
}

# The log file the screensaver writes into the prefix (empty when there is none yet).
zav_log_file() {
  local path
  for path in "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/"VORNHALT Studio"/SSELog.txt; do
    case "$path" in */users/Public/*) ;; *) [ -f "$path" ] && echo "$path" && return 0 ;; esac
  done
  return 0
}

# Xvfb (zav_width x zav_height, 24 bits) on a display no one uses; exports DISPLAY.
zav_start_x_server() {
  local number_file display=""
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${zav_width}x${zav_height}x24" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  zav_xserver=$!
  for _ in $(seq 100); do
    display=$(cat "$number_file")
    [ -n "$display" ] && break
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$display" ]; then
    echo "the X server did not start" >&2
    return 1
  fi
  export DISPLAY=:$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# A Wine server that stays for the whole session, and the prefix's services
# started now (made on the first run).
zav_start_prefix() {
  wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ -f "$WINEPREFIX/system.reg" ]; then
    wineboot </dev/null >/dev/null 2>&1 || true
  else
    wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
}

# A grey desktop, so that a screenshot shows what covers it.
zav_paint_desktop() {
  local picture
  picture=$(mktemp --suffix=.png)
  convert -size 16x16 xc:'rgb(128,128,128)' "$picture" &&
    timeout 20 display -window root "$picture" >/dev/null 2>&1 || true
  rm -f "$picture"
}

# USAGE DEFAULT ARGUMENTS...: reads "[--seconds N] [--no-build]" into
# `seconds` (DEFAULT when not given) and `build` (1, or 0 with --no-build);
# anything else prints USAGE and ends the script.
zav_read_options() {
  local usage=$1
  seconds=$2
  build=1
  shift 2
  while [ $# -gt 0 ]; do
    case "$1" in
      --seconds) seconds=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
      --no-build) build=0; shift ;;
      *) echo "usage: $usage" >&2; exit 64 ;;
    esac
  done
  case "$seconds" in "" | *[!0-9]*) echo "--seconds needs a number" >&2; exit 64 ;; esac
}

# BUILD (1 or 0): builds the screensaver when 1, then makes the session: the
# X server, the Wine server, a grey desktop, no log of an earlier run, and
# an EXIT trap that stops them.
zav_begin_session() {
  if [ "$1" = 1 ]; then
    echo "building the screensaver"
    zav_build_screensaver
  fi
  trap zav_stop_session EXIT
  zav_start_x_server
  zav_start_prefix
  zav_paint_desktop
  local log
  log=$(zav_log_file)
  [ -z "$log" ] || rm -f "$log"
}

# PROGRAM ARGUMENTS...: runs a Windows program in the background (its output
# goes where the caller's does); zav_program holds its pid.
zav_start() {
  wine "$@" </dev/null &
  zav_program=$!
}

zav_running() {
  [ -n "$zav_program" ] && kill -0 "$zav_program" 2>/dev/null
}

# Ends the program with a key press as a user would; stops it when it does
# not end within ten seconds. Returns its exit status (1 when it was stopped).
zav_end_with_key() {
  local status=0
  if zav_running; then
    xdotool key Escape || true
    for _ in $(seq 100); do zav_running || break; sleep 0.1; done
  fi
  if zav_running; then
    echo "the program did not end after the key press; stopping it" >&2
    kill "$zav_program" 2>/dev/null || true
    wait "$zav_program" 2>/dev/null || true
    status=1
  else
    wait "$zav_program" 2>/dev/null || status=$?
  fi
  zav_program=""
  return "$status"
}

# For an EXIT trap: stops what the session started (the program, the Wine
# server of this prefix, the X server).
zav_stop_session() {
  if zav_running; then kill "$zav_program" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  sleep 0.5
  if [ -n "$zav_xserver" ]; then kill "$zav_xserver" 2>/dev/null || true; fi
}

# FIELD [PID]: a figure of the program's /proc status in KiB (VmRSS, VmHWM, VmSize); empty once it has ended.
zav_memory_kib() {
  awk -v field="$1:" '$1 == field { print $2 }' "/proc/${2:-$zav_program}/status" 2>/dev/null || true
}

# PATH: the whole screen as a PNG file.
zav_screenshot() {
  xwd -root -silent | convert xwd:- "$1" 2>/dev/null
}

# PATH: dumps the whole screen into PATH (xwd) and prints a checksum of its
# pixels alone (the last width x height x 4 bytes of the dump): the header
# before them differs between dumps of one picture.
zav_screen_digest() {
  xwd -root -silent | tee "$1" | tail -c $((zav_width * zav_height * 4)) | md5sum
}

# Nanoseconds since the epoch.
zav_now_ns() {
  date +%s%N
}

# NANOSECONDS: sleeps until that time (at once when it has passed).
zav_sleep_until() {
  local left=$(($1 - $(zav_now_ns)))
  [ "$left" -gt 0 ] && sleep "$(printf '%d.%09d' $((left / 1000000000)) $((left % 1000000000)))"
  return 0
}
