#!/usr/bin/env bash
# Checks the imgconv tool end to end on the ImageMagick test pictures:
# raw output, conversion chains and exit statuses.
# Usage: imgconv-test.sh IMGCONV PICTURES WORK
set -u
imgconv=$1
pictures=$2
work=$3
mkdir -p "$work"
failures=0
check() {  # check DESCRIPTION EXPECTED-STATUS COMMAND...
  local description=$1 expected=$2
  shift 2
  "$@" 2>"$work/stderr"
  local status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL: $description: status $status, expected $expected"; cat "$work/stderr"; failures=$((failures + 1))
  fi
}
same() {  # same DESCRIPTION FILE1 FILE2
  cmp -s "$2" "$3" || { echo "FAIL: $1: $2 and $3 differ"; failures=$((failures + 1)); }
}

check "BMP to raw" 0 "$imgconv" "$pictures/bmp24_13x7.bmp" "$work/bmp.rgba"
same "BMP pixels" "$work/bmp.rgba" "$pictures/bmp24_13x7.ref"
check "CUBE to raw" 0 "$imgconv" "$pictures/cube.cube" "$work/cube.rgba"
same "CUBE pixels" "$work/cube.rgba" "$pictures/cube.ref"
# BMP -> TGA -> BMP: the TGA is written top row first and read back as stored,
# so the second BMP is the first one upside down; BMP -> BMP keeps it.
check "BMP to BMP" 0 "$imgconv" "$pictures/bmp24_13x7.bmp" "$work/copy.Bmp"
check "copy to raw" 0 "$imgconv" "$work/copy.Bmp" "$work/copy.rgba"
same "BMP copy" "$work/copy.rgba" "$pictures/bmp24_13x7.ref"
check "TGA to JPEG" 0 "$imgconv" "$pictures/tga24_none_bu.tga" "$work/out.JPEG"
check "JPEG to raw" 0 "$imgconv" "$work/out.JPEG" "$work/jpeg.rgba"
[ "$(stat -c %s "$work/jpeg.rgba")" -eq $((13 * 7 * 3)) ] || { echo "FAIL: JPEG raw size"; failures=$((failures + 1)); }

check "no codec for the input" 3 "$imgconv" "$pictures/bmp24_13x7.ref" "$work/x.bmp"
check "no codec for the output" 3 "$imgconv" "$pictures/bmp24_13x7.bmp" "$work/x.png"
check "missing input" 1 "$imgconv" "$work/absent.bmp" "$work/x.tga"
head -c 30 "$pictures/bmp24_13x7.bmp" >"$work/short.bmp"
check "damaged input" 1 "$imgconv" "$work/short.bmp" "$work/x.tga"
check "TGA cannot hold 8-bit pictures" 3 "$imgconv" "$pictures/bmp8_7x3.bmp" "$work/x.tga"
check "wrong usage" 64 "$imgconv" "$pictures/bmp24_13x7.bmp"
head -c $(( $(stat -c %s "$pictures/jpg_colour.jpg") - 100 )) "$pictures/jpg_colour.jpg" >"$work/cut.jpg"
check "truncated JPEG" 0 "$imgconv" "$work/cut.jpg" "$work/cut.rgba"
grep -q "^WARNING\. [0-9]* Premature end of JPEG file" "$work/stderr" ||
  { echo "FAIL: truncated JPEG warning missing"; failures=$((failures + 1)); }

if [ "$failures" -eq 0 ]; then echo "imgconv: all checks passed"; fi
exit $((failures > 0))
