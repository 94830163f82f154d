#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the sources of every logic
# library of a configured build folder; any finding fails.
#   scripts/lint.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/release}
JOBS=${JOBS:-2}
list="$BUILD/logic-sources.txt"
[ -f "$list" ] || { echo "lint: $list is missing; configure $BUILD first" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Qt's moc output and generated tables are not ours to lint.
if ! grep -v -E '/(build|autogen)/' "$list" |
    xargs -P "$JOBS" -n 4 clang-tidy -p "$BUILD" --quiet --extra-arg=-Wno-unknown-warning-option \
      >"$log" 2>&1; then
  grep -E 'warning:|error:' "$log" | sort -u >&2 || cat "$log" >&2
  echo "lint: clang-tidy found problems in the logic libraries" >&2
  exit 1
fi
echo "lint: $(grep -c . "$list") logic sources clean"
