#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the data forge and the tests need.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  clang clang-format clang-tidy cppcheck libclang-rt-14-dev
  libsdl2-dev libx11-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libjpeg62-turbo-dev libpng-dev libfreetype-dev fonts-dejavu-core
  libvorbis-dev libogg-dev libopenmpt-dev libopenal-dev espeak-ng sox
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils
  desktop-file-utils appstream dpkg-dev fakeroot
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
