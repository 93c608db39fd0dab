#!/usr/bin/env bash
# The program on a virtual X server of two monitors side by side (RandR monitors on one
# 1600x600 screen): the saver covers and animates both halves, pointer motion over the second
# monitor ends it, and the configuration window moved onto the second monitor shows its picture.
#   two_monitors.sh PROGRAM DATA_FOLDER [OUTPUT_FOLDER]
# Screenshots are kept in OUTPUT_FOLDER as two_monitors_*.png. Exit 0 on success, 77 when a
# tool is missing, 1 otherwise.
set -u
source "$(dirname "$(realpath "$0")")/x_test_session.sh"
program=${1:?program}
data=${2:?data folder}
out=${3:-.}
mkdir -p "$out"
need_commands Xvfb xrandr openbox xdotool xprop import convert compare

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
app_pid=""
cleanup() {
  stop_pid "$app_pid"
  stop_pid "$wm_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$*"
  [ -f "$work/program.log" ] && cat "$work/program.log"
  [ -f "$work/windows/Mirravane/error_log.txt" ] && tail -n 15 "$work/windows/Mirravane/error_log.txt"
  exit 1
}

# The server keeps the RandR monitors since it never resets (start_xvfb's -noreset).
start_xvfb 1600x600
export DISPLAY=":$display"  # for xdotool
xrandr --display ":$display" --setmonitor L 800/211x600/158+0+0 screen >/dev/null 2>&1 || fail "xrandr --setmonitor failed"
xrandr --display ":$display" --setmonitor R 800/211x600/158+800+0 none >/dev/null 2>&1 || fail "xrandr --setmonitor failed"
monitors=$(xrandr --display ":$display" --listmonitors | head -n 1 | tr -dc '0-9')
[ "$monitors" = 2 ] || fail "the server has $monitors monitors, not 2"
echo "monitors: $(xrandr --display ":$display" --listmonitors | tail -n +2 | tr -s ' ' | tr '\n' ';')"

mkdir -p "$work/windows" "$work/home"
cp -r "$data" "$work/windows/Mirravane"
# A fresh folder opens with the modal introduction; a short headless run goes through it.
(
  cd "$work/windows/Mirravane" || exit 1
  MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" MIRRAVANE_FRAMES=5 timeout 60 "$program" /c
) >"$work/first_run.log" 2>&1
setup_user
start_window_manager

run_program() {
  (
    cd "$work/windows/Mirravane" || exit 1
    unset MIRRAVANE_FRAMES MIRRAVANE_BACKEND QT_QPA_PLATFORM WAYLAND_DISPLAY XSCREENSAVER_WINDOW
    exec "${run_as[@]}" env DISPLAY=":$display" HOME="$work/home" MIRRAVANE_WINDOWS_DIR="$work/windows" \
      XDG_RUNTIME_DIR="$work" "$program" "$@"
  ) >"$work/program.log" 2>&1 &
  app_pid=$!
}

left=800x600+0+0
right=800x600+800+0

# ---- the saver covers both monitors and both move -----------------------------------------
xdotool mousemove --sync 1200 300 2>/dev/null || xdotool mousemove 1200 300
run_program /s
covered=""
for _ in $(seq 40); do
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || fail "the saver ended before it covered the monitors"
  shot root "$work/a.png" || continue
  if above "$(deviation "$work/a.png" "$left")" 0.05 && above "$(deviation "$work/a.png" "$right")" 0.05; then
    covered=yes
    break
  fi
done
cp "$work/a.png" "$out/two_monitors_saver_1.png"
[ -n "$covered" ] || fail "the saver does not cover both monitors (deviation left $(deviation "$work/a.png" "$left"), right $(deviation "$work/a.png" "$right"))"
sleep 1
shot root "$work/b.png" || fail "no second screenshot"
cp "$work/b.png" "$out/two_monitors_saver_2.png"
convert "$work/a.png" -crop "$left" +repage "$work/a_left.png"
convert "$work/b.png" -crop "$left" +repage "$work/b_left.png"
convert "$work/a.png" -crop "$right" +repage "$work/a_right.png"
convert "$work/b.png" -crop "$right" +repage "$work/b_right.png"
moved_left=$(difference "$work/a_left.png" "$work/b_left.png")
moved_right=$(difference "$work/a_right.png" "$work/b_right.png")
echo "saver: share of pixels changed in one second: left $moved_left, right $moved_right"
above "$moved_left" 0.2 || fail "the left monitor's picture does not move"
above "$moved_right" 0.2 || fail "the right monitor's picture does not move"

# ---- pointer motion over the second monitor ends it ------------------------------------------
# Left and up: the virtual pointer starts at the bottom-right corner, where motion right or
# down is clamped away.
xdotool mousemove 1000 200
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "pointer motion over the second monitor did not end the saver"
wait "$app_pid"
code=$?
app_pid=""
[ "$code" = 0 ] || fail "the saver ended with code $code"
grep -q "Mouse_Has_Moved returns SUCCESS" "$work/windows/Mirravane/error_log.txt" ||
  fail "the saver did not end on the pointer's motion"
shot root "$work/after.png" && above "$(deviation "$work/after.png" "")" 0.02 &&
  fail "a saver window stayed on the screen"
echo "saver: ended by pointer motion over the second monitor"

# ---- the configuration window on the second monitor shows a picture ----------------------------
run_program /c
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^ Mirravane' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no configuration window"
xdotool windowmove "$window" 1000 100
shown=""
for _ in $(seq 30); do
  sleep 1
  geometry=$(xdotool getwindowgeometry "$window" 2>/dev/null)
  x=$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1/p')
  y=$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\2/p')
  [ -n "$x" ] && [ "$x" -ge 800 ] || continue
  shot root "$work/c.png" || continue
  # The picture below the menu bar.
  area="300x300+$((x + 40))+$((y + 60))"
  if above "$(deviation "$work/c.png" "$area")" 0.05; then
    shown=yes
    break
  fi
done
cp "$work/c.png" "$out/two_monitors_window.png" 2>/dev/null
[ -n "$shown" ] || fail "the window on the second monitor shows no picture (at ${x:-?},${y:-?})"
echo "configuration window at $x,$y on the second monitor shows a picture"

# ---- View > Full Screen covers the monitor the window is on; Return brings the window back there
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key u
full=""
for _ in $(seq 30); do
  sleep 1
  shot root "$work/d.png" || continue
  if above "$(deviation "$work/d.png" "$right")" 0.05 && ! above "$(deviation "$work/d.png" "$left")" 0.01; then
    full=yes
    break
  fi
done
cp "$work/d.png" "$out/two_monitors_full_screen.png" 2>/dev/null
[ -n "$full" ] || fail "full screen does not cover the second monitor alone (deviation left $(deviation "$work/d.png" "$left"), right $(deviation "$work/d.png" "$right"))"
echo "full screen covers the second monitor"
xdotool key Return
back=""
for _ in $(seq 50); do
  sleep 0.2
  window=$(xdotool search --onlyvisible --name '^ Mirravane' 2>/dev/null | head -n 1)
  [ -n "$window" ] || continue
  geometry=$(xdotool getwindowgeometry "$window" 2>/dev/null)
  x=$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1/p')
  w=$(echo "$geometry" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
  if [ -n "$x" ] && [ -n "$w" ] && [ "$w" -lt 800 ] && [ "$x" -ge 800 ]; then
    back=yes
    break
  fi
done
[ -n "$back" ] || fail "the window did not come back on the second monitor (at ${x:-?}, width ${w:-?})"
echo "back to the window at $x on the second monitor"
exit 0
