#!/usr/bin/env bash
# Measures the screensaver's frame rate in an X server of its own
# (1024x768x24) with Wine's software rasteriser:
#
#   scripts/measure-fps.sh [--seconds N] [--no-build]
#
# Runs /s for N seconds (60 by default, so that several shots and their fades
# are in it) with Wine's "fps" trace on: Direct3D's swap chain prints its
# frame rate about once a second and a half. The first ten seconds (start-up,
# the first shaders) are left out; the script prints how many reports it
# kept and their lowest, median, mean and highest figure. The frame rate
# overlay is switched on for the run (and its setting removed again), and a
# screenshot with it is kept as out/fps.png, so that the program's own
# counter can be compared.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/xvfb-session.sh
. scripts/xvfb-session.sh

zav_read_options "scripts/measure-fps.sh [--seconds N] [--no-build]" 60 "$@"
if [ "$seconds" -le 15 ]; then
  echo "--seconds must be above 15: the first ten are left out" >&2
  exit 64
fi

key='HKCU\Software\VORNHALT Studio\Night Harbor 3D'
restore_setting() {
  wine reg delete "$key" /v ShowFPS /f </dev/null >/dev/null 2>&1 || true
  zav_stop_session
}

zav_begin_session "$build"
trap restore_setting EXIT
mkdir -p out
wine reg add "$key" /v ShowFPS /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1

trace=out/fps-trace.txt
launched=$(zav_now_ns)
WINEDEBUG=-all,+fps zav_start "$zav_screensaver" /s >/dev/null 2>"$trace"
zav_sleep_until $((launched + 10 * 1000000000))
# Reports from here on count: the line number the trace has reached.
first=$(($(wc -l <"$trace") + 1))
zav_sleep_until $((launched + (seconds - 1) * 1000000000))
zav_running && zav_screenshot out/fps.png
zav_sleep_until $((launched + seconds * 1000000000))
status=0
if ! zav_running; then
  echo "the screensaver ended before $seconds s" >&2
  status=1
fi
zav_end_with_key || status=1

# "trace:fps:wined3d_...present ... @ approx 12.34fps" lines (OpenGL's own
# reports of the same frames, "trace:fps:wglSwapBuffers", are left out).
tail -n +"$first" "$trace" | grep -F "trace:fps:wined3d" | sed -n 's/.*@ approx \([0-9.]*\)fps.*/\1/p' | sort -n | awk -v seconds="$seconds" '
  { figure[NR] = $1; sum += $1 }
  END {
    if (NR == 0) { print "no frame rate reports in the trace"; exit 1 }
    median = NR % 2 ? figure[(NR + 1) / 2] : (figure[NR / 2] + figure[NR / 2 + 1]) / 2
    printf "frame rate from second 10 to %d: %d reports, lowest %.2f, median %.2f, mean %.2f, highest %.2f fps\n",
      seconds, NR, figure[1], median, sum / NR, figure[NR]
  }' || status=1
[ ! -f out/fps.png ] || echo "screenshot with the frame rate overlay: out/fps.png"
exit "$status"
