#!/usr/bin/env bash
# Starts the configuration window on a virtual X server, takes a screenshot after a few
# seconds and checks that the window area holds a picture rather than one flat colour.
#   xvfb_screenshot.sh PROGRAM DATA_FOLDER [OUTPUT_FOLDER]
# The screenshot is kept as OUTPUT_FOLDER/xvfb_screenshot.png. Exit 0 on a picture, 1 otherwise.
set -u
source "$(dirname "$(realpath "$0")")/x_test_session.sh"
program=${1:?program}
data=${2:?data folder}
out=${3:-.}
mkdir -p "$out"
shot="$out/xvfb_screenshot.png"

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1024x768

mkdir -p "$work/windows"
cp -r "$data" "$work/windows/Mirravane"
# A fresh folder opens with the modal introduction; a short headless run goes through it
# first (it expands the objects and writes default.dat), so the window shows the picture.
(
  cd "$work/windows/Mirravane" || exit 1
  MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" MIRRAVANE_FRAMES=5 timeout 60 "$program" /c
) >"$work/first_run.log" 2>&1
(
  cd "$work/windows/Mirravane" || exit 1
  unset MIRRAVANE_FRAMES MIRRAVANE_BACKEND QT_QPA_PLATFORM WAYLAND_DISPLAY
  export DISPLAY=":$display" MIRRAVANE_WINDOWS_DIR="$work/windows" XDG_RUNTIME_DIR="$work"
  exec "$program" /c
) >"$work/program.log" 2>&1 &
app_pid=$!

# The window needs a moment (longer in a sanitizer build): look every second, up to 30 s.
deviation=0
for _ in $(seq 30); do
  sleep 1
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "the program ended early:"
    cat "$work/program.log"
    app_pid=""
    exit 1
  fi
  DISPLAY=":$display" import -window root "$shot" 2>/dev/null || continue
  deviation=$(convert "$shot" -crop 400x400+312+150 -format '%[fx:standard_deviation]' info:)
  if awk -v d="$deviation" 'BEGIN { exit !(d > 0.05) }'; then
    echo "screenshot $shot: standard deviation of the window area $deviation"
    exit 0
  fi
done
echo "screenshot $shot: standard deviation of the window area $deviation"
echo "the window area is flat"
cat "$work/program.log"
exit 1
