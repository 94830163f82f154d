#!/usr/bin/env bash
# Builds the Debian package of the dashboard:
#
#   scripts/package.sh [BUILD_DIR]     (default build/release)
#
# It builds only what the package holds in BUILD_DIR (configuring it as the
# "release" preset when it is not configured yet), then writes
# BUILD_DIR/package/evdo-dashboard_VERSION_ARCH.deb and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$(realpath -m "${1:-$ROOT/build/release}")
JOBS=${JOBS:-2}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j"$JOBS" --target evdo-dashboard evdo-modemsim evdo-data \
  evdo_lang_english evdo_lang_chinese evdo_package_docs
rm -rf "$BUILD/package"
(cd "$BUILD" && cpack -G DEB -B "$BUILD/package" >"$BUILD/package.log" 2>&1) || {
  cat "$BUILD/package.log" >&2
  exit 1
}
ls "$BUILD"/package/evdo-dashboard_*.deb
