#!/usr/bin/env bash
# Builds and runs every test: a normal build, a lint of the logic libraries,
# an address+undefined sanitizer build, a thread sanitizer build of the
# device link, and bounded fuzzing. Each build is a preset of
# CMakePresets.json (build/<preset>).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=${JOBS:-2}
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
export QT_QPA_PLATFORM=offscreen

scripts/install-deps.sh

start=$(date +%s)
step() { echo; echo "=== $* ($(( $(date +%s) - start ))s)"; }

step "normal build"
cmake --preset release >/dev/null
cmake --build build/release -j"$JOBS"
ctest --test-dir build/release --output-on-failure -j"$JOBS" -LE 'fuzz'

step "soak: two minutes against the simulated modem"
python3 scripts/soak.py --minutes 2 --build build/release

step "Debian package"
scripts/package.sh build/release
scripts/check-package.sh build/release/package/evdo-dashboard_*.deb

step "lint of the logic libraries"
scripts/lint.sh build/release

step "address and undefined sanitizer build"
cmake --preset asan >/dev/null
cmake --build build/asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j"$JOBS" -LE 'fuzz'

step "thread sanitizer build of the device link"
cmake --preset tsan >/dev/null
cmake --build build/tsan -j"$JOBS" --target evdo_tsan_device_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j"$JOBS" -L 'device'

step "fuzzing (${FUZZ_SECONDS}s a target)"
cmake --preset fuzz -DEVDO_FUZZ_SECONDS="$FUZZ_SECONDS" >/dev/null
cmake --build build/fuzz -j"$JOBS" --target evdo_fuzzers
ctest --test-dir build/fuzz --output-on-failure -j"$JOBS" -L 'fuzz'

step "done"
