#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the game, its tools and its tests need.
# Only what is missing is installed; running it again changes nothing.
# With the argument "fuzz" it also installs what `make fuzz` needs.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libgl-dev libglu1-mesa-dev
  libsndfile1-dev libfreetype-dev fonts-dejavu-core zlib1g-dev libx11-dev libxext-dev
  googletest libgtest-dev
  xvfb xauth libgl1-mesa-dri xdotool imagemagick sox python3 openbox x11-utils
  libpng-dev file lintian desktop-file-utils appstream man-db
)
# Only `make fuzz` needs clang and its sanitizer and libFuzzer runtimes.
if [ "${1:-}" = "fuzz" ]; then PACKAGES+=(clang libclang-rt-dev); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
