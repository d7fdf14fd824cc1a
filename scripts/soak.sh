#!/usr/bin/env bash
# Runs the screensaver (/s) for MINUTES minutes (30 by default) in an X
# server of its own and samples the memory of its Linux process under Wine
# every minute from the launch:
#
#   scripts/soak.sh [MINUTES] [--no-build]
#
# One table row a minute: VmRSS (resident), VmSize (address space) and
# VmHWM (peak resident) from /proc/PID/status, in MiB, and a screenshot in
# out/soak/minute-NN.png. Then the program is ended with a key press and the
# verdict printed: the memory is flat when VmRSS never rises more than
# max(4 MiB, 2 %) above its figure at the first minute (loading and the first
# frames may take memory until then), and the change over the second half
# of the run, which tells memory that settles from memory that keeps
# growing. The exit status is 0 when it is flat and the program ran to the
# end and ended on the key, else 1.
#
# Windows-side counters (private bytes) are not sampled: under Wine they are
# made from the same figures of /proc, and wmic reports no working set.
# --no-build runs the .scr as it is, without building it first.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/xvfb-session.sh
. scripts/xvfb-session.sh

minutes=30
build=1
for argument in "$@"; do
  case "$argument" in
    --no-build) build=0 ;;
    *[!0-9]* | "") echo "usage: scripts/soak.sh [MINUTES] [--no-build]" >&2; exit 64 ;;
    *) minutes=$argument ;;
  esac
done
if [ "$minutes" -lt 2 ]; then
  echo "a soak needs at least two minutes: memory is judged after the first" >&2
  exit 64
fi

zav_begin_session "$build"
mkdir -p out/soak
rm -f out/soak/minute-*.png

mib() {
  awk -v kib="$1" 'BEGIN { printf "%8.1f", kib / 1024 }'
}

launched=$(zav_now_ns)
zav_start "$zav_screensaver" /s >/dev/null 2>&1
echo "running /s for $minutes minutes on $DISPLAY"
echo "minute    VmRSS   VmSize    VmHWM  (MiB)"
samples=()
captures=()
ran=1
for minute in $(seq "$minutes"); do
  zav_sleep_until $((launched + minute * 60 * 1000000000))
  resident=$(zav_memory_kib VmRSS)
  if ! zav_running || [ -z "$resident" ]; then
    echo "the screensaver ended by itself before minute $minute"
    ran=0
    break
  fi
  samples+=("$resident")
  printf '%6d %s %s %s\n' "$minute" "$(mib "$resident")" "$(mib "$(zav_memory_kib VmSize)")" \
    "$(mib "$(zav_memory_kib VmHWM)")"
  zav_screenshot "out/soak/minute-$(printf %02d "$minute").png" &
  captures+=($!)
done
[ ${#captures[@]} -eq 0 ] || wait "${captures[@]}" || true

ended=0
zav_end_with_key && ended=1

log=$(zav_log_file)
if [ -n "$log" ]; then
  errors=$(iconv -f cp1251 -t utf-8 "$log" | tr -d '\r' | grep -E '^(ERROR|CRITICAL ERROR)\. ' |
    grep -vcxF 'ERROR. Невозможно инициализировать звук. Причина [3]. Устройство []' || true)
  echo "log: $errors ERROR lines besides the missing sound device"
fi

if [ ${#samples[@]} -lt 2 ]; then
  echo "no verdict: fewer than two samples"
  exit 1
fi
verdict=$(printf '%s\n' "${samples[@]}" | awk '
  { value[NR] = $1; if (NR == 1 || $1 > highest) highest = $1 }
  END {
    first = value[1]; last = value[NR]; middle = int((NR + 1) / 2)
    allowed = first * 0.02; if (allowed < 4096) allowed = 4096
    growth = highest - first
    printf "%s: VmRSS %.1f MiB at the first minute, at most %.1f MiB after it (+%.1f MiB, allowed %.1f MiB), %.1f MiB at the end\n",
      growth <= allowed ? "flat" : "GROWING", first / 1024, highest / 1024, growth / 1024, allowed / 1024, last / 1024
    printf "over the second half (minutes %d to %d): %+.1f MiB\n", middle, NR, (last - value[middle]) / 1024
  }')
echo "$verdict"
[ "$ran" = 1 ] && [ "$ended" = 1 ] && [ "${verdict%%:*}" = flat ]
