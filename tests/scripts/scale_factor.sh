#!/usr/bin/env bash
# The configuration window at QT_SCALE_FACTOR=2 on a virtual X server with openbox: the
# picture must have device-pixel detail (a picture drawn at half size and doubled has one
# alignment of 2x2 blocks that are all uniform) and the menu bar must show every menu (the
# last one, Help, opens under its own title inside the window, not from an overflow button
# at the right edge).
#   scale_factor.sh PROGRAM DATA_FOLDER [OUTPUT_FOLDER]
# The screenshot is kept as OUTPUT_FOLDER/scale_factor.png. Exit 0 when both hold, 1 when
# not, 77 when a tool is missing.
set -u
program=$(readlink -f "${1:?program}")
data=${2:?data folder}
out=${3:-.}
source "$(dirname "$(realpath "$0")")/x_test_session.sh"
need_commands Xvfb openbox xdotool xwininfo import convert python3
mkdir -p "$out"
shot="$out/scale_factor.png"

work=$(mktemp -d)
xvfb_pid="" wm_pid="" app_pid=""
trap end_x_session EXIT

start_xvfb 1280x1024
export DISPLAY=":$display"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
mkdir -p "$work/windows"
cp -r "$data" "$work/windows/Mirravane"
# A fresh folder opens with the introduction; a short headless run goes through it first.
(
  cd "$work/windows/Mirravane" || exit 1
  MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" MIRRAVANE_FRAMES=5 timeout 120 "$program" /c
) >"$work/first_run.log" 2>&1
(
  cd "$work/windows/Mirravane" || exit 1
  unset MIRRAVANE_FRAMES MIRRAVANE_BACKEND QT_QPA_PLATFORM WAYLAND_DISPLAY
  export MIRRAVANE_WINDOWS_DIR="$work/windows" XDG_RUNTIME_DIR="$work" QT_SCALE_FACTOR=2
  exec "$program" /c
) >"$work/program.log" 2>&1 &
app_pid=$!

# Left, top, width and height of an X window.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ *Width/ { w = $NF } /^ *Height/ { h = $NF } END { print x, y, w, h }'
}
window=""
for _ in $(seq 60); do
  sleep 0.5
  window=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | head -1)
  [ -n "$window" ] && break
done
if [ -z "$window" ]; then
  echo "no window appeared"
  cat "$work/program.log"
  exit 1
fi
sleep 3
read -r wx wy ww wh < <(geometry "$window")
import -window root "$shot" || exit 1

# The lower three quarters of the window hold only picture, whatever the menu bar's height.
failed=0
python3 - "$shot" $((wx + 8)) $((wy + wh / 4)) $((ww - 16)) $((wh * 3 / 4 - 8)) <<'PY' || failed=1
import subprocess, sys
image, x, y, w, h = sys.argv[1], *map(int, sys.argv[2:6])
raw = subprocess.run(["convert", image, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                     capture_output=True, check=True).stdout
def pixel(i, j): return raw[(j * w + i) * 3:(j * w + i) * 3 + 3]
worst = 1.0
for ox, oy in ((0, 0), (1, 0), (0, 1), (1, 1)):
    total = mixed = 0
    for j in range(oy, h - 1, 2):
        for i in range(ox, w - 1, 2):
            a = pixel(i, j)
            total += 1
            mixed += pixel(i + 1, j) != a or pixel(i, j + 1) != a or pixel(i + 1, j + 1) != a
    worst = min(worst, mixed / max(total, 1))
print(f"picture {w}x{h}: at the worst alignment {100 * worst:.0f} % of the 2x2 blocks are not uniform")
sys.exit(0 if worst > 0.2 else 1)
PY

xdotool key --window "$window" alt+h
sleep 1
popup=""
for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
  [ "$w" != "$window" ] && popup=$w
done
if [ -z "$popup" ]; then
  echo "Alt+H opened no menu"
  failed=1
else
  read -r px py pw ph < <(geometry "$popup")
  echo "window at $wx,$wy ${ww}x$wh; the Help menu opens at $px,$py"
  if [ "$px" -ge $((wx + ww)) ]; then
    echo "the Help menu opens beside the window: the menu bar has folded it away"
    failed=1
  fi
fi
[ "$failed" = 0 ] && echo "screenshot $shot: device-pixel picture, every menu in the bar"
exit "$failed"
