#!/usr/bin/env bash
# Measures the screensaver's start-up in an X server of its own (1024x768x24)
# and prints a few labelled lines:
#
#   scripts/measure-startup.sh [--seconds N] [--no-build]
#
# - the time from launching `wine NightHarbor3D.scr /s` to the log lines of
#   the window, the caching and the saver's creation, and to the first scene
#   frame on the screen;
# - the peak memory of the screensaver's Linux process (VmHWM in
#   /proc/PID/status) after N seconds of the scene (20 by default);
# - for comparison, the size of the unpacked media (the files under
#   build/win/app/media-generated/), of the scene's textures alone and of
#   the packed archives.
#
# The first scene frame: every 0.1 s (or as fast as a busy machine allows)
# the script reads the log and, once the log says "Кеширование...", first
# dumps the screen (xwd) and keeps a checksum of its pixels. Through the
# caching and its one-second pause the screen shows the loading screen (or
# the black window while the build has none). The log says "Сейвер
# создан." just before the frame loop starts, so a dump taken while the log
# does not say it yet shows the screen before the loop, and the first later
# dump that differs from the last of those is the first frame the loop
# presented (which also waits for the device to make its first shaders). It
# is saved as out/startup-first-frame.png with its mean brightness, so that
# one can check it is the scene. The figure is the time of that dump; the
# frame came after the last dump that showed the screen unchanged, whose
# time is printed beside it. As the first shot fades in from black, the
# script then waits for the first dump in which the scene shows and saves it
# as out/startup-first-picture.png.
#
# The program is ended with a key press and everything the script started
# is stopped. --no-build measures the .scr as it is, without building it
# first.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/xvfb-session.sh
. scripts/xvfb-session.sh

zav_read_options "scripts/measure-startup.sh [--seconds N] [--no-build]" 20 "$@"

zav_begin_session "$build"
mkdir -p out

# The log as it was at the start of this poll; Windows-1251, so its lines
# are compared as those bytes.
copy_log() {
  log=$(zav_log_file)
  if [ -n "$log" ]; then cp "$log" out/startup-log.txt; else : >out/startup-log.txt; fi
}
in_log() {
  LC_ALL=C grep -qF "$(printf 'INFO. %s' "$1" | iconv -f utf-8 -t cp1251)" out/startup-log.txt
}
seconds_since() {
  local ms=$((($1 - launched) / 1000000))
  printf '%d.%02d s' $((ms / 1000)) $((ms % 1000 / 10))
}
mib() {
  awk -v kib="$1" 'BEGIN { printf "%.1f MiB", kib / 1024 }'
}

launched=$(zav_now_ns)
zav_start "$zav_screensaver" /s >/dev/null 2>&1
window="" caching="" cached="" created="" first_frame="" reference="" unchanged="" dumped=""
deadline=$((launched + 180 * 1000000000))
while [ -z "$first_frame" ]; do
  if ! zav_running; then echo "the screensaver ended before its first frame" >&2; exit 1; fi
  now=$(zav_now_ns)
  if [ "$now" -gt "$deadline" ]; then echo "no scene frame within 180 s" >&2; exit 1; fi
  # The screen first, then the log: a dump taken while the log does not
  # say "Сейвер создан." yet was taken before the loop began.
  sum=""
  if [ -n "$caching" ]; then
    dumped=$now
    sum=$(zav_screen_digest out/startup-screen.xwd)
  fi
  copy_log
  [ -n "$window" ] || ! in_log "Окна скринсейвера созданы." || window=$now
  [ -n "$caching" ] || ! in_log "Кеширование..." || caching=$now
  [ -n "$cached" ] || ! in_log "Кеширование закончено." || cached=$now
  [ -n "$created" ] || ! in_log "Сейвер создан." || created=$now
  # (Without a dump from before the loop, the first one stands in.)
  if [ -n "$sum" ] && { [ -z "$created" ] || [ -z "$reference" ]; }; then
    reference=$sum
    unchanged=$dumped
  elif [ -n "$sum" ] && [ "$sum" = "$reference" ]; then
    unchanged=$dumped
  elif [ -n "$sum" ] && [ -n "$reference" ]; then
    first_frame=$now
    convert xwd:out/startup-screen.xwd out/startup-first-frame.png
  fi
  zav_sleep_until $((now + 100000000))
done

# The loop's first frames may still be black: the first shot fades in from
# the veil. The scene shows from the first dump in which more colour bytes
# than a fifth of the pixels are brighter than 31 (the clock alone has far
# fewer; the fourth byte of each pixel is padding).
lit_bytes() {
  xwd -root -silent | tee out/startup-screen.xwd | tail -c $((zav_width * zav_height * 4)) | python3 -c '
import sys
pixels = sys.stdin.buffer.read()
dark = bytes(range(32))
print(sum(len(pixels[channel::4].translate(None, dark)) for channel in range(3)))'
}
picture=""
while [ -z "$picture" ]; do
  if ! zav_running; then echo "the screensaver ended before the scene showed" >&2; exit 1; fi
  now=$(zav_now_ns)
  if [ "$now" -gt "$deadline" ]; then echo "the scene did not show within 180 s" >&2; exit 1; fi
  if [ "$(lit_bytes)" -gt $((zav_width * zav_height / 5)) ]; then
    picture=$now
    convert xwd:out/startup-screen.xwd out/startup-first-picture.png
  fi
  zav_sleep_until $((now + 100000000))
done
rm -f out/startup-screen.xwd out/startup-log.txt

# The scene runs on while the peak is sampled; VmHWM only grows.
peak="" resident=""
end=$(($(zav_now_ns) + seconds * 1000000000))
while zav_running && [ "$(zav_now_ns)" -lt "$end" ]; do
  value=$(zav_memory_kib VmHWM)
  [ -z "$value" ] || peak=$value
  value=$(zav_memory_kib VmRSS)
  [ -z "$value" ] || resident=$value
  sleep 0.5
done
status=0
zav_end_with_key || status=$?

# FOLDER [find options and tests...]: "N.NN MiB in N files" of the files below FOLDER.
files_size() {
  local folder=$1
  shift
  find "$folder" "$@" -type f -printf '%s\n' 2>/dev/null |
    awk '{ bytes += $1; files++ } END { printf "%.2f MiB in %d files", bytes / 1048576, files }'
}
generated=build/win/app/media-generated
pictures=(\( -iname '*.tga' -o -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.bmp' -o -iname '*.cube' \))

echo "launch to the window:          $(seconds_since "$window")"
echo "launch to caching:             $(seconds_since "$caching")"
echo "launch to caching finished:    $(seconds_since "$cached")"
echo "launch to the saver created:   $(seconds_since "$created")"
echo "launch to the first scene frame: $(seconds_since "$first_frame")" \
  "(shown after the dump at $(seconds_since "$unchanged"))"
echo "first frame: out/startup-first-frame.png, mean brightness" \
  "$(convert out/startup-first-frame.png -colorspace gray -format '%[fx:mean]' info:)"
echo "launch to the scene showing:   $(seconds_since "$picture")" \
  "(out/startup-first-picture.png, mean brightness" \
  "$(convert out/startup-first-picture.png -colorspace gray -format '%[fx:mean]' info:))"
if [ -n "$peak" ]; then
  echo "peak memory (VmHWM) after ${seconds} s of the scene: $(mib "$peak") (VmRSS then $(mib "$resident"))"
else
  echo "peak memory: not sampled (the program ended)"
fi
echo "unpacked media: $(files_size "$generated" -mindepth 2) (customdata $(files_size "$generated/customdata")," \
  "media $(files_size "$generated/media"))"
echo "scene textures: $(files_size "$generated/media" "${pictures[@]}")"
echo "packed archives: $(files_size build/win/app/res -name '*.rar2')"
exit "$status"
