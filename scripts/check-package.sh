#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh made:
#
#   scripts/check-package.sh PACKAGE.deb
#
# its control fields (name, version, dependencies computed from the binaries
# with the Qt 6 libraries among them), the files it must hold, that it holds
# nothing outside the folders a package of the dashboard owns, its
# maintainer scripts, that the programs start from the unpacked package, and
# that lintian finds no error. Prints one line per failed check and a
# summary; exits non-zero when a check failed.
set -uo pipefail
DEB=${1:?usage: check-package.sh PACKAGE.deb}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
VERSION=$(sed -n 's/^project(evdo_dashboard VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
passed=0
failed=0
ok() { passed=$((passed + 1)); }
bad() { echo "FAILED: $*"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@"; then ok; else bad "$what"; fi; }

field() { dpkg-deb -f "$DEB" "$1"; }
check "Package is evdo-dashboard" [ "$(field Package)" = evdo-dashboard ]
check "Version is $VERSION" [ "$(field Version)" = "$VERSION" ]
check "Architecture is $(dpkg --print-architecture)" [ "$(field Architecture)" = "$(dpkg --print-architecture)" ]
check "Maintainer is set" [ -n "$(field Maintainer)" ]
depends=$(field Depends)
depends_names=$(tr ',' '\n' <<<"$depends" | sed 's/ *(.*//; s/^ *//')
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6dbus6 qt6-qpa-plugins libudev1 libc6 libstdc++6; do
  check "Depends names $lib (Depends: $depends)" grep -qxF "$lib" <<<"$depends_names"
done
check "Recommends ppp" grep -q ppp <<<"$(field Recommends)"

listing=$(dpkg-deb -c "$DEB" | awk '{ print $6 }' | sed 's|^\./|/|')
expected=(
  /usr/bin/evdo-dashboard /usr/bin/evdo-data /usr/bin/evdo-modemsim
  /usr/lib/evdo-dashboard/evdo-dashboard /usr/lib/evdo-dashboard/evdo-modemsim
  /usr/lib/evdo-dashboard/lang/english.so /usr/lib/evdo-dashboard/lang/chinese.so
  /usr/lib/evdo-dashboard/skin/light/theme.ini /usr/lib/evdo-dashboard/skin/dark/theme.ini
  /usr/lib/evdo-dashboard/skin/indicators/app_icon.png /usr/lib/evdo-dashboard/wav/call.wav
  /usr/lib/evdo-dashboard/help/help_en.html /usr/lib/evdo-dashboard/help/help_zh.html
  /usr/lib/udev/rules.d/77-evdo-modem.rules /etc/ppp/peers/evdo-dashboard
  /usr/share/applications/evdo-dashboard.desktop /usr/share/icons/hicolor/128x128/apps/evdo-dashboard.png
  /usr/share/man/man1/evdo-dashboard.1.gz /usr/share/man/man1/evdo-data.1.gz /usr/share/man/man1/evdo-modemsim.1.gz
  /usr/share/doc/evdo-dashboard/copyright /usr/share/doc/evdo-dashboard/changelog.gz
)
for f in "${expected[@]}"; do
  check "the package holds $f" grep -qxF "$f" <<<"$listing"
done
# Only the folders the dashboard owns (and the standard folders above them).
allowed='^/(etc/|etc/ppp/|etc/ppp/peers/(evdo-dashboard)?|usr/|usr/bin/(evdo-dashboard|evdo-data|evdo-modemsim)?|usr/lib/|usr/lib/evdo-dashboard/.*|usr/lib/udev/|usr/lib/udev/rules.d/(77-evdo-modem.rules)?|usr/share/|usr/share/applications/(evdo-dashboard.desktop)?|usr/share/icons/|usr/share/icons/hicolor/.*|usr/share/man/|usr/share/man/man1/(evdo-[a-z]+.1.gz)?|usr/share/doc/|usr/share/doc/evdo-dashboard/.*)$'
stray=$(grep -vE "$allowed" <<<"$listing" || true)
check "no file outside the dashboard's folders: ${stray//$'\n'/ }" [ -z "$stray" ]

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -e "$DEB" "$work/control"
check "/etc/ppp/peers/evdo-dashboard is a configuration file" grep -qxF /etc/ppp/peers/evdo-dashboard "$work/control/conffiles"
check "postinst reloads the udev rules" grep -q "udevadm control --reload-rules" "$work/control/postinst"
check "postinst is executable shell" sh -n "$work/control/postinst"
check "postinst is executable" [ -x "$work/control/postinst" ]
# In a folder without udev (a chroot) the scripts end well.
check "postinst ends well without udev" env PATH=/nonexistent /bin/sh "$work/control/postinst" configure

# The programs start from the unpacked package (the launcher finds the
# program beside it, the simulated modem through its link).
dpkg-deb -x "$DEB" "$work/root"
check "the launcher's --help from the package" bash -c "'$work/root/usr/bin/evdo-dashboard' --help | grep -q -- --status"
check "evdo-modemsim --help from the package" bash -c "'$work/root/usr/bin/evdo-modemsim' --help | grep -q usage"
check "evdo-data --help from the package" bash -c "'$work/root/usr/bin/evdo-data' --help | grep -q usage"

if command -v lintian >/dev/null; then
  if lintian_out=$(lintian --fail-on error "$DEB" 2>&1); then ok; else bad "lintian found errors:"$'\n'"$lintian_out"; fi
else
  bad "lintian is not installed"
fi

echo "package checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
