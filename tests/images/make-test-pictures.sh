#!/usr/bin/env bash
# Writes test pictures made by ImageMagick into OUT, each with ImageMagick's
# own decoding of it beside it (NAME.ref: raw bytes, rows in the order the
# engine keeps them). Usage: make-test-pictures.sh CONVERT OUT
set -euo pipefail
convert=$1
out=$2
mkdir -p "$out"
cd "$out"

# Deterministic content: a seeded plasma, and one with a gradient alpha.
colour() { "$convert" -size "$1" -seed "$2" plasma:fractal -depth 8 -type TrueColor "${@:3}"; }
with_alpha() {
  "$convert" -size "$1" -seed "$2" plasma:fractal \( -size "$1" gradient:white-black \) \
    -compose CopyOpacity -composite -depth 8 -type TrueColorAlpha "${@:3}"
}
# ImageMagick's decoding, bottom row first (the picture's own orientation).
ref_bottom_up() { "$convert" "$1" -auto-orient -flip -depth 8 "$2:$3"; }

# BMP, 40-byte headers, odd widths: 24-bit, and 8-bit with a palette.
for size in 1x1 3x2 5x3 13x7; do
  colour "$size" 11 -compress None "BMP3:bmp24_$size.bmp"
  ref_bottom_up "bmp24_$size.bmp" rgb "bmp24_$size.ref"
done
for size in 7x3 13x7; do
  # More than 16 colours, so that ImageMagick writes 8 bits per pixel.
  colour "$size" 12 -colors 64 -type Palette -compress None "BMP3:bmp8_$size.bmp"
  [ "$(od -An -tu2 -j28 -N2 "bmp8_$size.bmp" | tr -d ' ')" = 8 ] || { echo "bmp8_$size.bmp is not 8-bit" >&2; exit 1; }
  ref_bottom_up "bmp8_$size.bmp" rgb "bmp8_$size.ref"
done

# TGA 24/32-bit, raw and run-length, bottom-up and top-down. Top-down rows
# are kept as stored, so their reference is in file order.
for bits in 24 32; do
  for compress in None RLE; do
    name="tga${bits}_${compress,,}"
    if [ "$bits" = 24 ]; then make=colour; map=rgb; else make=with_alpha; map=rgba; fi
    $make 13x7 21 -compress "$compress" "${name}_bu.tga"
    ref_bottom_up "${name}_bu.tga" "$map" "${name}_bu.ref"
    $make 13x7 22 -compress "$compress" -orient TopLeft "${name}_td.tga"
    "$convert" "${name}_td.tga" -auto-orient -depth 8 "$map:${name}_td.ref"
  done
done
# A run-length picture with long runs of one colour.
"$convert" -size 300x5 xc:red -fill blue -draw 'rectangle 0,0 140,1' -depth 8 -type TrueColor \
  -compress RLE tga24_runs_bu.tga
ref_bottom_up tga24_runs_bu.tga rgb tga24_runs_bu.ref

# JPEG grey and colour (4:2:0), odd sizes; a colour one of two rows.
colour 37x23 31 -quality 85 jpg_colour.jpg
ref_bottom_up jpg_colour.jpg rgb jpg_colour.ref
"$convert" -size 37x23 -seed 32 plasma:fractal -colorspace Gray -depth 8 -type Grayscale -quality 85 jpg_grey.jpg
ref_bottom_up jpg_grey.jpg gray jpg_grey.ref
"$convert" -size 16x1 xc:'#F03010' -size 16x1 xc:'#1040E0' -append -type TrueColor -quality 95 \
  -sampling-factor 1x1 jpg_rows.jpg
ref_bottom_up jpg_rows.jpg rgb jpg_rows.ref

# CUBE: six 8x8 TGAs one after another; the reference is the six faces.
rm -f cube.cube cube.ref
for face in 0 1 2 3 4 5; do
  colour 8x8 $((40 + face)) "cube_face$face.tga"
  cat "cube_face$face.tga" >>cube.cube
  ref_bottom_up "cube_face$face.tga" rgb - >>cube.ref
done
rm -f cube_face*.tga
touch stamp
