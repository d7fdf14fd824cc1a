#!/bin/sh
# check-imports.sh PROGRAM: the Windows program imports Direct3D 9 itself and
# no Direct3D utility library (stock Windows does not ship one).
set -eu
names=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
echo "$names"
echo "$names" | grep -qx 'd3d9.dll' || { echo "no import of d3d9.dll"; exit 1; }
if echo "$names" | grep -q '^d3dx'; then echo "imports a Direct3D utility library"; exit 1; fi
