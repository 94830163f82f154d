#!/bin/sh
# Starts the EVDO dashboard in its data folder. The program keeps EVDO.ini
# and its data files in its current directory and reads the language modules
# ("lang"), skins ("skin"), sounds ("wav") and help documents ("help") from there; this launcher makes the folder,
# links both into it from the program's folder, enters it and starts the
# program with the remaining arguments.
#
# EVDO_PROGRAM, EVDO_LANG_DIR and EVDO_SKIN_DIR override where the program and
# its folders are (scripts/run.sh points them into the build tree).
set -eu

usage() {
  cat <<'USAGE'
usage: evdo-dashboard [--data DIR] [program options, listed below]
  --data DIR         keep EVDO.ini and the data files in DIR (anywhere among the
                     options; default $EVDO_DATA_DIR, else
                     ${XDG_DATA_HOME:-~/.local/share}/evdo-dashboard)
USAGE
}

# Installed as <prefix>/bin/evdo-dashboard, perhaps reached through a link
# of the user's own; the program is in <prefix>/@EVDO_INSTALL_PROGRAM_DIR@.
SELF="$(readlink -f "$0" 2>/dev/null || echo "$0")"
PROGRAM_DIR="$(cd "$(dirname "$SELF")/.." && pwd)/@EVDO_INSTALL_PROGRAM_DIR@"
PROGRAM="${EVDO_PROGRAM:-$PROGRAM_DIR/evdo-dashboard}"
LANG_DIR="${EVDO_LANG_DIR:-$PROGRAM_DIR/lang}"
SKIN_DIR="${EVDO_SKIN_DIR:-$PROGRAM_DIR/skin}"
WAV_DIR="${EVDO_WAV_DIR:-$PROGRAM_DIR/wav}"
HELP_DIR="${EVDO_HELP_DIR:-$PROGRAM_DIR/help}"
DATA_DIR="${EVDO_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/evdo-dashboard}"

# --data DIR (or --data=DIR) anywhere among the options; the others go to
# the program in their order. The values of --port and --screenshot are
# passed on as they are, whatever they look like.
help=""
count=$#
while [ "$count" -gt 0 ]; do
  arg=$1
  shift
  count=$((count - 1))
  case "$arg" in
    --data)
      if [ "$count" -lt 1 ] || [ -z "$1" ]; then
        echo "evdo-dashboard: --data needs a folder" >&2
        usage >&2
        exit 2
      fi
      DATA_DIR=$1
      shift
      count=$((count - 1))
      ;;
    --data=*) DATA_DIR=${arg#--data=} ;;
    --port|--screenshot)
      set -- "$@" "$arg"
      if [ "$count" -gt 0 ]; then
        set -- "$@" "$1"
        shift
        count=$((count - 1))
      fi
      ;;
    --help|-h) help=yes; set -- "$@" "$arg" ;;
    *) set -- "$@" "$arg" ;;
  esac
done

if [ ! -x "$PROGRAM" ]; then
  echo "evdo-dashboard: the program $PROGRAM is missing or not executable" >&2
  exit 1
fi
if [ -n "$help" ]; then
  usage
  echo "The program's own options:"
  exec "$PROGRAM" --help
fi

# Relative paths among the options are the user's, from this folder.
EVDO_START_DIR="$(pwd)"
export EVDO_START_DIR

mkdir -p "$DATA_DIR"
# A folder of the user's own is left alone; a link is pointed at this
# program's folder, but only at one that exists.
link() {
  if [ ! -d "$1" ]; then
    echo "evdo-dashboard: $1 is missing; $DATA_DIR/$2 is left as it is" >&2
    return 0
  fi
  if [ -L "$DATA_DIR/$2" ] || [ ! -e "$DATA_DIR/$2" ]; then
    ln -sfn "$1" "$DATA_DIR/$2"
  fi
}
link "$LANG_DIR" lang
link "$SKIN_DIR" skin
if [ -d "$WAV_DIR" ]; then link "$WAV_DIR" wav; fi
if [ -d "$HELP_DIR" ]; then link "$HELP_DIR" help; fi

cd "$DATA_DIR"
exec "$PROGRAM" "$@"
