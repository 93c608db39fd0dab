#!/usr/bin/env bash
# Builds and installs Mirravane, puts its data into the program folder, and starts the
# configuration window.
#   PREFIX  install prefix (default: ~/.local)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
PREFIX=${PREFIX:-$HOME/.local}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$PREFIX" >/dev/null
cmake --build build -j"$(nproc)"
cmake --install build >/dev/null

# The program folder: "Mirravane" below the data folder. Files already there (the user's
# presets, default.dat, expanded objects) are never overwritten.
DATA_HOME=${MIRRAVANE_WINDOWS_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}}
FOLDER="$DATA_HOME/Mirravane"
mkdir -p "$FOLDER"
cp -rn data/. "$FOLDER/"
echo "Program folder: $FOLDER"

if [ ! -x "$PREFIX/bin/mirravane" ]; then
  echo "Built and installed the tools and the data; the program itself is not built yet."
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: Mirravane is installed in $PREFIX/bin but cannot open its window here."
  exit 0
fi
cd "$FOLDER"
exec "$PREFIX/bin/mirravane" /c
