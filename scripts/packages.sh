#!/usr/bin/env bash
# Installs the Debian packages Mirravane needs to build, test and run, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-multimedia-dev libgl-dev libxcb1-dev libxcb-shm0-dev libxcb-render0-dev libgtest-dev googletest
          xvfb xauth imagemagick desktop-file-utils openbox xscreensaver x11-apps x11-utils x11-xserver-utils xdotool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
