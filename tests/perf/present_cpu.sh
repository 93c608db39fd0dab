#!/usr/bin/env bash
# What presenting frames costs: runs the program on a virtual X server at 1280x1024x24 (with
# openbox when it is installed) as the saver and as the maximised configuration window, each
# for SECONDS after a warm-up, and prints the program's own CPU time (utime + stime from
# /proc, over wall time) and the frames it painted. The machine's load does not enter the
# figures, only their steadiness. Exit 77 when Xvfb is missing; figures never fail it.
#   present_cpu.sh PROGRAM DATA_FOLDER [SECONDS] [vsync-off]
# With PRESENT_PERF_DIR set, perf records each run into that folder.
set -u
source "$(dirname "$(realpath "$0")")/../scripts/x_test_session.sh"
program=$(realpath "${1:?program}")
data=$(realpath "${2:?data folder}")
seconds=${3:-10}
vsync_off=${4:-}
command -v Xvfb >/dev/null || { echo "Xvfb is not installed: skipped"; exit 77; }
command -v python3 >/dev/null || { echo "python3 is not installed: skipped"; exit 77; }

work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
stop_app() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  app_pid=""
}
cleanup() {
  stop_app
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 1280x1024
export DISPLAY=":$display"
if command -v openbox >/dev/null; then
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 1
fi

mkdir -p "$work/windows"
cp -r "$data" "$work/windows/Mirravane"
# A fresh folder opens with the introduction; a short headless run goes through it first.
(
  cd "$work/windows/Mirravane" || exit 1
  MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" MIRRAVANE_FRAMES=5 timeout 120 "$program" /c
) >"$work/first_run.log" 2>&1
if [ "$vsync_off" = vsync-off ]; then
  # The preset's vsync field (a 32-bit integer at byte 6164 of the record).
  python3 - "$work/windows/Mirravane/default.dat" <<'PY'
import struct, sys
with open(sys.argv[1], "r+b") as f:
    f.seek(6164)
    f.write(struct.pack("<i", 0))
PY
fi

# CPU ticks (utime + stime) of a process.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null; }
# Frames per second between the lines FROM and TO of the program's once-a-second counts
# ("Mirravane frames: presented P painted Q at T ms").
rate() {
  sed -n "$2,$3p" "$1" | awk '/^Mirravane frames:/ { if (!seen) { q0 = $6; t0 = $8; seen = 1 } q1 = $6; t1 = $8 }
    END { if (t1 > t0) printf "%.1f", 1000 * (q1 - q0) / (t1 - t0); else printf "0" }'
}

hz=$(getconf CLK_TCK)
warm_up=3

measure() {  # NAME ARGUMENT MAXIMISE
  local name=$1 argument=$2 maximise=$3 log="$work/$1.log"
  (
    cd "$work/windows/Mirravane" || exit 1
    unset MIRRAVANE_FRAMES MIRRAVANE_BACKEND QT_QPA_PLATFORM WAYLAND_DISPLAY
    export MIRRAVANE_WINDOWS_DIR="$work/windows" XDG_RUNTIME_DIR="$work" MIRRAVANE_FRAME_STATS=1
    exec "$program" "$argument"
  ) >"$log" 2>&1 &
  app_pid=$!
  sleep "$warm_up"
  if [ "$maximise" = yes ] && command -v xdotool >/dev/null; then
    local window=""
    for _ in $(seq 20); do
      window=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -1)
      [ -n "$window" ] && break
      sleep 0.5
    done
    if [ -n "$window" ]; then
      xdotool windowstate --add MAXIMIZED_VERT,MAXIMIZED_HORZ "$window" 2>/dev/null ||
        xdotool windowsize "$window" 100% 100%
      sleep 1
    fi
  fi
  if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "$name: the program ended early"; cat "$log"; app_pid=""; return
  fi
  local t0 c0 l0 t1 c1 l1 fps
  t0=$(date +%s.%N); c0=$(ticks "$app_pid"); x0=$(ticks "$xvfb_pid"); l0=$(($(wc -l <"$log") + 1))
  if [ -n "${PRESENT_PERF_DIR:-}" ] && command -v perf >/dev/null; then
    # Where the time goes, for a closer look: perf report -i DIR/NAME.perf
    perf record -q -g -p "$app_pid" -o "$PRESENT_PERF_DIR/${name%% *}.perf" -- sleep "$seconds" >/dev/null 2>&1
  else
    sleep "$seconds"
  fi
  t1=$(date +%s.%N); c1=$(ticks "$app_pid"); x1=$(ticks "$xvfb_pid"); l1=$(wc -l <"$log")
  stop_app
  fps=$(rate "$log" "$l0" "$l1")
  # The X server's share too: where the server scales and copies, that work moved, on a
  # real desktop to the graphics card.
  awk -v n="$name" -v t0="$t0" -v t1="$t1" -v c0="$c0" -v c1="$c1" -v x0="${x0:-0}" -v x1="${x1:-0}" -v fps="$fps" -v hz="$hz" \
    'BEGIN { printf "%s: %.1f %% of a core, %s fps (X server %.1f %%)\n", n, 100 * (c1 - c0) / hz / (t1 - t0), fps, 100 * (x1 - x0) / hz / (t1 - t0) }'
}

suffix=""
[ "$vsync_off" = vsync-off ] && suffix=" (vsync off)"
measure "saver$suffix" /s no
measure "window$suffix" /c yes
exit 0
