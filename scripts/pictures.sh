#!/usr/bin/env bash
# Pictures of the dashboard for the README, made from the simulated modem:
#
#   scripts/pictures.sh [OUT_DIR]      (default doc/pictures)
#
# Under Xvfb (a display of its own, or $PICTURES_DISPLAY, e.g. :73) it starts
# the dashboard against the simulated modem once per look: the light and the
# dark skin in English and the light skin in Chinese. Each run pictures every
# page the main window has ("--page all"), so a new page is pictured without
# a change here. The pictures are OUT_DIR/<skin>-<language>-<page>.png; the
# README's picture table (between its "pictures" markers) is written anew
# from the files made.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${EVDO_BUILD_DIR:-$ROOT/build/release}
OUT=${1:-$ROOT/doc/pictures}
JOBS=${JOBS:-2}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j"$JOBS" --target evdo-dashboard evdo-modemsim evdo-data evdo_lang_english evdo_lang_chinese >/dev/null
# Sample messages and contacts, so that their pages show what they look like.
SAMPLE="$ROOT/doc/pictures/sample"
DATA_TOOL="$BUILD/tools/evdo-data/evdo-data"

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: the first free number from 90 on, unless one is given.
display=${PICTURES_DISPLAY:-}
if [ -z "$display" ]; then
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
  done
fi
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done

mkdir -p "$OUT"
rm -f "$OUT"/*.png  # the sample folder stays
# look: skin style (0 light, 1 dark), language code (9 English, 16 Chinese)
looks=("light en 0 9" "dark en 1 9" "light zh 0 16")
for look in "${looks[@]}"; do
  read -r skin language style code <<<"$look"
  data="$work/$skin-$language"
  mkdir -p "$data/run"
  chmod 700 "$data/run"
  ln -s "$BUILD/lang" "$data/lang"
  ln -s "$ROOT/skin" "$data/skin"
  printf '[Main]\r\nMain_nLanguage=%s\r\n[Setup]\r\nSetup_nSkinStyle=%s\r\n' "$code" "$style" >"$data/EVDO.ini"
  "$DATA_TOOL" build "$SAMPLE/SmsData.json" "$data/SmsData.dat" >/dev/null
  "$DATA_TOOL" import-contacts "$SAMPLE/contacts.csv" "$data/PbData.dat" >/dev/null
  echo "pictures: $skin skin, $language"
  (cd "$data" && DISPLAY=$display XDG_RUNTIME_DIR="$data/run" QT_QPA_PLATFORM=xcb \
    EVDO_MODEMSIM="$BUILD/tools/modemsim/evdo-modemsim" \
    timeout 180 "$BUILD/app/evdo-dashboard" --simulate --page all \
      --screenshot "$OUT/$skin-$language-%p.png" >"$data/out.log" 2>"$data/err.log") || {
    echo "pictures: the dashboard failed ($skin, $language):" >&2
    cat "$data/err.log" >&2
    exit 1
  }
  grep '^screenshot:' "$data/out.log" | sed 's|^screenshot: |  |'
done

# The README's table: one row per page, one column per look.
readme="$ROOT/README.md"
if grep -q '<!-- pictures -->' "$readme"; then
  table="$work/table.md"
  {
    echo '<!-- pictures -->'
    echo '| Page | Light skin | Dark skin | Chinese |'
    echo '| --- | --- | --- | --- |'
    # In the order of the window's tabs, as the first run saved them.
    for first in $(sed -n 's/^screenshot: //p' "$work/light-en/out.log"); do
      page=$(basename "$first" .png)
      page=${page#light-en-}
      row="| $page |"
      for look in light-en dark-en light-zh; do
        file="$OUT/$look-$page.png"
        rel=${file#"$ROOT"/}
        if [ -f "$file" ]; then row="$row ![$page, $look]($rel) |"; else row="$row |"; fi
      done
      echo "$row"
    done
    echo '<!-- /pictures -->'
  } >"$table"
  python3 - "$readme" "$table" <<'PY'
import re, sys
readme, table = sys.argv[1], sys.argv[2]
text = open(readme, encoding="utf-8").read()
new = open(table, encoding="utf-8").read().rstrip("\n")
text = re.sub(r"<!-- pictures -->.*?<!-- /pictures -->", lambda m: new, text, flags=re.S)
open(readme, "w", encoding="utf-8").write(text)
PY
  echo "pictures: README table written"
fi
