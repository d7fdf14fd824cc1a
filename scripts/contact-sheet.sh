#!/usr/bin/env bash
# Makes a contact sheet of a run's screenshots: one frame for each camera
# shot (scripts/screenshots.py finds the shots and leaves the fade frames
# out), four to a row, each 256 pixels wide and labelled with its time in the
# run (minutes:seconds).
#
#   scripts/contact-sheet.sh [--from SECONDS] [SCREENSHOTS [OUTPUT.png]]
#
# SCREENSHOTS is a folder of shot-NNN.png, one a second: out/screenshots/ of
# ./run.sh by default, or the output folder of the end-to-end test
# e2e.test_ninety_seconds_show_several_shots_with_fades_between_them_motion_and_the_clock
# (build/win/tests/e2e/output/<test>/), whose screenshots start with the
# scene. OUTPUT is docs/harbour-shots.png by default. --from leaves out the
# screenshots before that second (run.sh's first ones show the desktop and
# the loading screen).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

from=0
if [ "${1:-}" = "--from" ]; then
  from=${2:?--from needs a number of seconds}
  shift 2
fi
case "$from" in *[!0-9]*) echo "--from needs a number of seconds" >&2; exit 64 ;; esac
if [ $# -gt 2 ] || [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
  echo "usage: scripts/contact-sheet.sh [--from SECONDS] [SCREENSHOTS [OUTPUT.png]]" >&2
  exit 64
fi
folder=${1:-$root/out/screenshots}
output=${2:-$root/docs/harbour-shots.png}
[ -d "$folder" ] || { echo "no folder $folder" >&2; exit 1; }

chosen=$(mktemp -d)
trap 'rm -rf "$chosen"' EXIT
for shot in "$folder"/shot-*.png; do
  [ -e "$shot" ] || break
  number=$(basename "$shot" .png)
  number=${number##*-}
  [ $((10#$number)) -ge "$from" ] && ln -s "$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")" "$chosen/"
done

labelled=()
while read -r seconds path; do
  labelled+=(-label "$(printf '%d:%02d' $((seconds / 60)) $((seconds % 60)))" "$path")
done < <(python3 "$root/scripts/screenshots.py" --representatives "$chosen")
[ ${#labelled[@]} -gt 0 ] || { echo "no shots found in $folder" >&2; exit 1; }

shots=$((${#labelled[@]} / 3))
mkdir -p "$(dirname "$output")"
montage "${labelled[@]}" -tile "$((shots < 4 ? shots : 4))x" -depth 8 -geometry 256x192+6+6 -background 'rgb(16,16,20)' -fill 'rgb(220,220,220)' \
  -pointsize 14 "$output"
echo "$output: $shots shots"
