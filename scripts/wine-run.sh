#!/bin/sh
# Runs a Windows program under Wine with the project's prefix (build/win/wineprefix
# unless WINEPREFIX is set) and quiet defaults. ctest uses it as the emulator.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/win/wineprefix}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES WINEARCH=win64
exec wine "$@"
