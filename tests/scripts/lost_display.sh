#!/usr/bin/env bash
# The X server goes away under a running program (a logout, a crashed server): every mode
# ends by itself, without a crash, and a configuration run keeps default.dat.
#   lost_display.sh PROGRAM DATA_FOLDER
set -u
source "$(dirname "$(realpath "$0")")/x_test_session.sh"
program=$(realpath "${1:?program}")
data=$(realpath "${2:?data folder}")
work=$(mktemp -d)
chmod 700 "$work"
xvfb_pid=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
status=0

cp -r "$data" "$work/Mirravane"
(cd "$work/Mirravane" && MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work" MIRRAVANE_FRAMES=2 \
  timeout 60 "$program" /c) >"$work/first.log" 2>&1

for mode in /c /s; do
  start_xvfb 800x600

  # The configuration run saves default.dat anew; the saver then shows it.
  [ "$mode" = /c ] && rm -f "$work/Mirravane/default.dat"
  rm -f "$work/Mirravane/error_log.txt"
  (cd "$work/Mirravane" && unset MIRRAVANE_FRAMES MIRRAVANE_BACKEND QT_QPA_PLATFORM WAYLAND_DISPLAY &&
    DISPLAY=":$display" MIRRAVANE_WINDOWS_DIR="$work" XDG_RUNTIME_DIR="$work" exec "$program" "$mode") \
    >"$work/run.log" 2>&1 &
  pid=$!
  drawing=no
  for _ in $(seq 300); do
    grep -q "Entering Run_Mirravane" "$work/Mirravane/error_log.txt" 2>/dev/null && drawing=yes && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ $drawing = no ]; then
    echo "FAIL: $mode never drew a frame"
    cat "$work/run.log" "$work/Mirravane/error_log.txt"
    status=1
  fi
  sleep 1
  kill "$xvfb_pid"
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  code=""
  for _ in $(seq 300); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      code=$?
      break
    fi
    sleep 0.1
  done
  if [ -z "$code" ]; then
    echo "FAIL: $mode went on without its display"
    status=1
    continue
  fi
  pid=""
  saved=$([ -f "$work/Mirravane/default.dat" ] && echo yes || echo no)
  # Ending because the display went away is no success (1), but never a signal (>= 128).
  if [ "$code" -ne 1 ] || { [ "$mode" = /c ] && [ "$saved" != yes ]; }; then
    echo "FAIL: $mode without its display: exit code $code, default.dat saved: $saved"
    cat "$work/run.log"
    status=1
  else
    echo "$mode without its display: exit code $code, default.dat saved: $saved"
  fi
done
exit $status
