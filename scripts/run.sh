#!/usr/bin/env bash
# Builds and starts the EVDO dashboard in one command, on a fresh Debian 12
# machine too (missing packages are installed first).
#
#   scripts/run.sh [--data DIR] [--simulate | --port PATH] [other program options]
#
# The dashboard keeps EVDO.ini and its data files in DIR (default
# ~/.local/share/evdo-dashboard); "lang" and "skin" are linked into it from
# the build. A plugged-in modem is found by the program itself; with none
# present (no USB device with the modem's identifiers) it runs against the
# simulated modem. --port PATH names the modem's command port directly. On a
# machine without a display it runs under Xvfb, saves a picture of the main
# window and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${EVDO_BUILD_DIR:-$ROOT/build/run}
JOBS=${JOBS:-2}

args=()
data=""
source_given=""
while [ $# -gt 0 ]; do
  case "$1" in
    --data) data="${2:?--data needs a folder}"; shift 2 ;;
    --simulate|--port) source_given=yes; args+=("$1"); shift ;;
    *) args+=("$1"); shift ;;
  esac
done

scripts/install-deps.sh

echo "Building in $BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEVDO_BUILD_TESTS=OFF \
  -DEVDO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target evdo-dashboard evdo-modemsim \
  evdo_lang_english evdo_lang_chinese

# The modem's USB identifiers (vendor 1614 or 1c9e, product 6000).
modem_present() {
  local dev
  for dev in /sys/bus/usb/devices/*; do
    [ -r "$dev/idVendor" ] && [ -r "$dev/idProduct" ] || continue
    case "$(cat "$dev/idVendor"):$(cat "$dev/idProduct")" in
      1614:6000|1c9e:6000) return 0 ;;
    esac
  done
  return 1
}
if [ -z "$source_given" ] && ! modem_present; then
  echo "No modem is plugged in: using the simulated modem."
  args+=(--simulate)
fi

export EVDO_PROGRAM="$BUILD/app/evdo-dashboard"
export EVDO_LANG_DIR="$BUILD/lang"
export EVDO_SKIN_DIR="$ROOT/skin"
export EVDO_WAV_DIR="$ROOT/calls/wav"
export EVDO_HELP_DIR="$BUILD/help"
export EVDO_MODEMSIM="$BUILD/tools/modemsim/evdo-modemsim"
launch=(sh "$ROOT/scripts/evdo-dashboard-launch.sh")
[ -n "$data" ] && launch+=(--data "$data")

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "${launch[@]}" "${args[@]}"
fi

shot_dir="${data:-${XDG_DATA_HOME:-$HOME/.local/share}/evdo-dashboard}"
mkdir -p "$shot_dir"
shot="$(cd "$shot_dir" && pwd)/screenshot.png"
echo "No display: running under Xvfb; the main window's picture goes to $shot"
exec xvfb-run -a -s "-screen 0 1280x800x24" "${launch[@]}" "${args[@]}" --screenshot "$shot"
