#!/usr/bin/env bash
# Installs what building and testing need on Debian 12: only the packages that are missing,
# so a machine that has them all needs no network.
set -euo pipefail

packages=(
  g++ cmake ninja-build lld
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libsquish-dev zlib1g-dev libstb-dev
  qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  xvfb xauth
  locales
  dpkg-dev file x11-utils
)

bash "$(dirname "$0")/install-packages.sh" "${packages[@]}"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

# A decimal-comma locale, for the test that map numbers ignore the user's locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
