#!/usr/bin/env bash
# The preview inside a window of another program (xlogo) under a window manager on a
# virtual X server: started with the host's id in hex while the session asks for Wayland,
# it fills the host, follows it to a new size without a black band, and ends within two
# seconds of the host's destruction; an id that names no window (for /p and for
# XSCREENSAVER_WINDOW) and a window id without an X display end it at once with a message
# and a non-zero exit.
#   preview_host_window.sh PROGRAM DATA_FOLDER [OUTPUT_FOLDER]
# Exit 0 when every check passed, 1 otherwise, 77 when a tool is missing. The screenshots
# are kept in OUTPUT_FOLDER.
set -u
program=$(readlink -f "${1:?program}")
data=${2:?data folder}
out=${3:-.}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_test_session.sh"
need_commands Xvfb xdpyinfo xprop xwininfo openbox xlogo xdotool import convert compare
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d)
xvfb_pid="" wm_pid="" host_pid="" app_pid=""
cleanup() {
  stop_pid "$app_pid"
  stop_pid "$host_pid"
  stop_pid "$wm_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # check NAME CONDITION-RESULT DETAIL
  if [ "$2" -eq 0 ]; then
    echo "ok: $1"
  else
    echo "FAILED: $1 ($3)"
    failures=$((failures + 1))
  fi
}

mkdir -p "$work/home" "$work/run" "$work/windows"
chmod 700 "$work/run"
cp -r "$data" "$work/windows/Mirravane"
folder="$work/windows/Mirravane"
# A fresh folder would open the introduction: a short headless run goes through it first.
(cd "$folder" && MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" MIRRAVANE_FRAMES=5 \
  timeout 120 "$program" /c) >"$work/first_run.log" 2>&1
run_as=()
start_xvfb 800x600
start_window_manager

# Runs the program in its folder with the session's environment and the given extras.
program_env=(env -u QT_QPA_PLATFORM -u MIRRAVANE_BACKEND -u MIRRAVANE_FRAMES -u WAYLAND_DISPLAY DISPLAY=":$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
             MIRRAVANE_WINDOWS_DIR="$work/windows")

# All black, so that whatever is not black in it is the program's picture.
xlogo -display ":$display" -geometry 300x200+40+40 -bg black -fg black >"$work/xlogo.log" 2>&1 &
host_pid=$!
host=""
for _ in $(seq 100); do
  host=$(xwininfo -display ":$display" -name xlogo 2>/dev/null | awk '/Window id:/ { print $4 }')
  [ -n "$host" ] && break
  sleep 0.1
done
[ -n "$host" ] || { echo "xlogo did not appear"; exit 1; }
echo "host window $host (xlogo)"

# A Wayland session with XWayland: the X window id must still choose X11.
(cd "$folder" && exec "${program_env[@]}" WAYLAND_DISPLAY=mirravane-test-no-such-display QT_QPA_PLATFORM=wayland \
  "$program" /p "$host") >"$work/preview.log" 2>&1 &
app_pid=$!

# The host area holds a picture (not xlogo's flat drawing) within 20 s.
filled=1 measure=""
for _ in $(seq 40); do
  sleep 0.5
  kill -0 "$app_pid" 2>/dev/null || break
  shot "$host" "$out/preview_start.png" || continue
  measure=$(deviation "$out/preview_start.png")
  if above "$measure" 0.05; then
    filled=0
    break
  fi
done
check "the preview fills its 300x200 host" "$filled" "deviation ${measure:-none}; $(tail -n 3 "$work/preview.log")"
managed=$(xprop -display ":$display" -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | wc -l)
check "the window manager manages only the host" "$([ "$managed" -eq 1 ] && echo 0 || echo 1)" "$managed clients"

# A new host size: the area the old size did not cover is drawn too.
DISPLAY=":$display" xdotool windowsize "$host" 520 400
grown=1
for _ in $(seq 20); do
  sleep 0.25
  shot "$host" "$out/preview_resized.png" || continue
  size=$(convert "$out/preview_resized.png" -format '%wx%h' info:)
  [ "$size" = "520x400" ] || continue
  right=$(brightness "$out/preview_resized.png" 200x400+320+0)
  bottom=$(brightness "$out/preview_resized.png" 520x180+0+220)
  if above "$right" 0.05 && above "$bottom" 0.05 && above "$(deviation "$out/preview_resized.png" 200x400+320+0)" 0.02; then
    grown=0
    break
  fi
done
check "the preview follows its host to 520x400" "$grown" "size ${size:-none}, right band ${right:-?}, bottom band ${bottom:-?}"

# The host goes: the program ends within two seconds.
running=1
kill -0 "$app_pid" 2>/dev/null && running=0
check "the preview runs until its host goes" "$running" "it ended by itself: $(tail -n 3 "$work/preview.log")"
stop_pid "$host_pid"
host_pid=""
start=$(date +%s%N)
ended=1
for _ in $(seq 25); do
  if ! kill -0 "$app_pid" 2>/dev/null; then
    ended=0
    break
  fi
  sleep 0.1
done
elapsed=$((($(date +%s%N) - start) / 1000000))
[ "$running" -eq 0 ] || ended=1
check "the preview ends when its host is destroyed" "$ended" "still running after $elapsed ms"
[ "$ended" -eq 0 ] && echo "   ended after $elapsed ms"
stop_pid "$app_pid"
app_pid=""

# Ids that name no window, and a window id without an X display: a message and a failure.
refused() {  # refused NAME COMMAND...
  local name=$1 code said ok=1
  shift
  (cd "$folder" && timeout 20 "$@") >"$work/refused.log" 2>&1
  code=$?
  said=$(grep '^Mirravane: ' "$work/refused.log" | tail -n 1)
  [ "$code" -ne 0 ] && [ "$code" -ne 124 ] && [ "$code" -lt 126 ] && [ -n "$said" ] && ok=0
  check "$name" "$ok" "exit $code, said: ${said:-$(tail -n 2 "$work/refused.log")}"
  [ "$ok" -eq 0 ] && echo "   exit $code: $said"
}
refused "/p with the destroyed host's id" "${program_env[@]}" "$program" /p "$host"
refused "-window-id with the destroyed host's id" "${program_env[@]}" "$program" -window-id "$host"
refused "XSCREENSAVER_WINDOW naming no window" "${program_env[@]}" XSCREENSAVER_WINDOW="$host" "$program" -root
refused "a window id without an X display" env -u DISPLAY -u QT_QPA_PLATFORM -u MIRRAVANE_BACKEND -u MIRRAVANE_FRAMES WAYLAND_DISPLAY=wayland-0 \
  MIRRAVANE_WINDOWS_DIR="$work/windows" "$program" /p 0x200003
strays=$(DISPLAY=":$display" xdotool search --name Mirravane 2>/dev/null | wc -l)
check "no window of the program is left on the desktop" "$([ "$strays" -eq 0 ] && echo 0 || echo 1)" "$strays windows"

echo "preview checks failed: $failures"
[ "$failures" -eq 0 ]
