#!/bin/sh
# Starts the EVDO dashboard in its data folder. The program keeps EVDO.ini
# and its data files in its current directory and reads the language modules
# ("lang"), skins ("skin") and sounds ("wav") from there; this launcher makes the folder,
# links both into it from the program's folder, enters it and starts the
# program with the remaining arguments.
#
#   evdo-dashboard [--data DIR] [--simulate | --port PATH] [--screenshot FILE]
#
# DIR defaults to $EVDO_DATA_DIR, else ~/.local/share/evdo-dashboard.
# EVDO_PROGRAM, EVDO_LANG_DIR and EVDO_SKIN_DIR override where the program and
# its folders are (scripts/run.sh points them into the build tree).
set -eu

# Installed as <prefix>/bin/evdo-dashboard; the program is in
# <prefix>/@EVDO_INSTALL_PROGRAM_DIR@.
PROGRAM_DIR="$(cd "$(dirname "$0")/.." && pwd)/@EVDO_INSTALL_PROGRAM_DIR@"
PROGRAM="${EVDO_PROGRAM:-$PROGRAM_DIR/evdo-dashboard}"
LANG_DIR="${EVDO_LANG_DIR:-$PROGRAM_DIR/lang}"
SKIN_DIR="${EVDO_SKIN_DIR:-$PROGRAM_DIR/skin}"
WAV_DIR="${EVDO_WAV_DIR:-$PROGRAM_DIR/wav}"
DATA_DIR="${EVDO_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/evdo-dashboard}"

if [ "${1:-}" = "--data" ]; then
  [ $# -ge 2 ] || { echo "evdo-dashboard: --data needs a folder" >&2; exit 2; }
  DATA_DIR="$2"
  shift 2
fi

mkdir -p "$DATA_DIR"
# A folder of the user's own is left alone; a link is pointed at this program's.
link() {
  if [ -L "$DATA_DIR/$2" ] || [ ! -e "$DATA_DIR/$2" ]; then
    ln -sfn "$1" "$DATA_DIR/$2"
  fi
}
link "$LANG_DIR" lang
link "$SKIN_DIR" skin
if [ -d "$WAV_DIR" ]; then link "$WAV_DIR" wav; fi

cd "$DATA_DIR"
exec "$PROGRAM" "$@"
