#!/usr/bin/env bash
# Builds Mirravane and runs every test.
#   BUILD_DIR   build folder (default: build)
#   CMAKE_ARGS  extra configure arguments (for example -DMIRRAVANE_SANITIZE=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 300
