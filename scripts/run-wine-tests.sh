#!/usr/bin/env bash
# Runs the win build's tests (ctest through Wine) inside an X server. Expects
# DISPLAY to be set (test.sh wraps it in xvfb-run). Extra arguments go to ctest.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='

# A persistent server: without it every test's wine starts one and ctest waits
# for it to linger out.
wineserver -k >/dev/null 2>&1 || true
# A prefix is made once; one whose set-up was cut short (a registry without
# the system's classes: no audio devices, no shell folders) is made again.
ready="$WINEPREFIX/.zav-prefix-ready"
if [ ! -f "$ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f </dev/null >/dev/null 2>&1 &&
    wineserver -w && touch "$ready"  # the server writes the registry out as it ends
fi
wineserver -p </dev/null >/dev/null 2>&1
# Start the prefix's background services now, with no inherited output: a
# service started by the first test would hold ctest's output pipe open.
wineboot </dev/null >/dev/null 2>&1
rc=0
# Wine now and then dies before a test starts ("failed to map the shared
# user data", about one start in a thousand) or aborts on an X error while a
# full-screen window goes away in an X server without a window manager
# (BadWindow). A test that fails gets one more run; the first attempt stays
# in the output.
(cd "$root/build/win" && ctest -j2 --output-on-failure --repeat until-pass:2 "$@") || rc=$?
wineserver -k >/dev/null 2>&1 || true
exit $rc
