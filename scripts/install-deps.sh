#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tombolix needs.
# Does nothing when all of them are present already.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libsqlcipher-dev sqlcipher
  libfreexl-dev libzip-dev libexpat1-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # run: media back-end, picture formats, CJK font
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  qt6-image-formats-plugins libqt6svg6
  fonts-wqy-microhei
  # tests: virtual display and real key presses
  xvfb xdotool x11-utils xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
