#!/usr/bin/env bash
# Every class a scene file can hold occurs in the harbour scene that scenegen
# ships: the classes strinfo --classes lists, less those that are no part of
# a scene file's objects (the root of the class tree, the texture base, render
# state blocks and shader objects, which passes make for themselves, and
# bounding volumes, which node records hold by kind), against the
# types strinfo prints for the scene.
#   harbour-types-test.sh SCENEGEN STRINFO
set -euo pipefail
scenegen=$1
strinfo=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$scenegen" "$folder/Main.STR"
"$strinfo" --classes | grep -vxE 'ZAV\.(Object|BaseTexture|RenderStateBlock|VertexShader|PixelShader|SphereBoundingVolume)' | sort -u \
  >"$folder/classes"
"$strinfo" "$folder/Main.STR" >"$folder/tree" || { cat "$folder/tree"; exit 1; }
grep -oE 'ZAV\.[A-Za-z0-9]+' "$folder/tree" | sort -u >"$folder/types"
missing=$(comm -23 "$folder/classes" "$folder/types")
if [ -n "$missing" ]; then
  echo "classes the scene does not use:"
  echo "$missing"
  exit 1
fi
echo "the scene holds all $(wc -l <"$folder/classes") scene classes"
