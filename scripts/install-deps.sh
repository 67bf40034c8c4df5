#!/usr/bin/env bash
# Installs every Debian package Tonbo needs to build, run and test.
# Safe to run repeatedly; skips apt when everything is present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git mold
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libqt6opengl6-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev zlib1g-dev libonig-dev
  libglib2.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  shared-mime-info adwaita-icon-theme hicolor-icon-theme
  fonts-ipafont-gothic
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  xdg-utils desktop-file-utils appstream dbus-daemon dpkg-dev groff-base
  xvfb xauth imagemagick x11-apps
  clang-format
  rename mmv convmv
  libexiv2-dev libtag1-dev libimage-exiftool-perl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
