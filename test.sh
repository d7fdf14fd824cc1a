#!/usr/bin/env bash
# Builds the host and Windows builds and runs every test: host unit tests
# natively, Windows-side and end-to-end tests under Wine in a private X server.
# Ends with one line "N passed, N failed"; exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD
mkdir -p build/logs

./scripts/setup.sh || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
# Adds the counts from a ctest log ("NN% tests passed, F tests failed out of T").
count() {
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$summary" ]; then
    failed=$((failed + 1))
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# build PRESET [cmake --build arguments, such as --target NAME]
build() {
  local preset=$1
  shift
  echo "== build $preset $*"
  if ! { cmake --preset "$preset" >"build/logs/configure-$preset.log" 2>&1 &&
         cmake --build --preset "$preset" "$@" 2>&1 | tee "build/logs/build-$preset.log" | grep -E 'error|FAILED' ; \
         test "${PIPESTATUS[0]}" -eq 0; }; then
    echo "build of $preset failed; see build/logs"
    tail -n 30 "build/logs/build-$preset.log" 2>/dev/null || tail -n 30 "build/logs/configure-$preset.log"
    failed=$((failed + 1))
    return 1
  fi
}

if build host; then
  echo "== host tests"
  (cd build/host && ctest -j2 --output-on-failure) 2>&1 | tee build/logs/test-host.log | tail -n 25
  count build/logs/test-host.log
fi

# The Windows build packs its media archives with host-built tools.
if build host-release --target rar2pack mediagen scenegen soundgen && build win; then
  echo "== Windows tests (Wine)"
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$root/scripts/run-wine-tests.sh" 2>&1 |
    tee build/logs/test-win.log | tail -n 25
  count build/logs/test-win.log
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
