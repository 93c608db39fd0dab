#!/usr/bin/env bash
# Builds and installs Mirravane (into ~/.local, or PREFIX), puts its data into the program
# folder (never overwriting a user's presets or default.dat) and starts the configuration
# window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
PREFIX=${PREFIX:-$HOME/.local}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$PREFIX" >/dev/null
cmake --build build -j"$(nproc)"
cmake --install build >/dev/null
echo "Installed into $PREFIX (mirravane, mirravane-launch, mirravane-render, mirravane-bench)."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # Still lay the program folder out, so a later start (or a headless run) finds it.
  FOLDER="${MIRRAVANE_WINDOWS_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}}/Mirravane"
  mkdir -p "$FOLDER" && cp -rn "$PREFIX/share/mirravane/." "$FOLDER/"
  echo "No display here: Mirravane is installed but cannot open its window (run $PREFIX/bin/mirravane-launch /c on a desktop)."
  exit 0
fi
exec "$PREFIX/bin/mirravane-launch" /c
