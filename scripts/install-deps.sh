#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the dashboard need,
# only when some are missing. Runs apt-get update at most once.
set -euo pipefail

PACKAGES=(
  cmake make g++ clang clang-tidy libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev libudev-dev umockdev libumockdev-dev zlib1g-dev
  xvfb xauth xdotool socat python3 python3-dbusmock dbus iproute2 python3-vobject
  qt6-qpa-plugins fonts-wqy-microhei
  dpkg-dev lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
