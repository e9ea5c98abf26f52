#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need (only the missing ones).
#   scripts/setup.sh [--bench]     (--bench: also what bench/run.sh needs)
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-declarative-dev-tools
  qml6-module-qtquick qml6-module-qtqml qml6-module-qtqml-workerscript qml6-module-qtqml-models
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qttest
  libqt6sql6-sqlite qt6-qpa-plugins libgl-dev libxkbcommon-dev
  libfontconfig-dev dbus-daemon dbus-bin sqlite3 libsqlite3-dev python3 util-linux
  xvfb xdotool x11-utils imagemagick libxcb1-dev
  fonts-wqy-microhei fontconfig
)
if [ "${1:-}" = "--bench" ]; then
  PACKAGES+=(valgrind)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
