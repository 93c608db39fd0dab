#!/usr/bin/env bash
# The program as xscreensaver's one hack, under a window manager on a virtual X server:
# ten activations from a fresh program folder on, each must show a moving picture (two
# screenshots differ and neither is one flat colour), and after each deactivation no
# process of the program may be left.
#   xscreensaver_daemon.sh PROGRAM DATA_FOLDER [OUTPUT_FOLDER]
# Prints the counts; exit 0 when all ten activations passed, 1 otherwise, 77 when a tool is
# missing. The screenshots of a failed activation are kept in OUTPUT_FOLDER.
# MIRRAVANE_ACTIVATIONS=N runs N activations; MIRRAVANE_PRIMED_FOLDER=1 goes through the
# first run headlessly before the daemon starts, to look at later activations alone.
set -u
program=$(readlink -f "${1:?program}")
data=${2:?data folder}
out=${3:-.}
activations=${MIRRAVANE_ACTIVATIONS:-10}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_test_session.sh"
need_commands Xvfb xdpyinfo xprop openbox xscreensaver xscreensaver-command import convert compare
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid="" wm_pid="" daemon_pid=""
cleanup() {
  stop_pid "$daemon_pid"
  local p
  for p in $(pids_of "$work/bin/mirravane"); do kill -9 "$p" 2>/dev/null; done
  stop_pid "$wm_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# The program, its fresh folder and the hack's launcher, all the user's own (the build
# folder may be closed to it).
mkdir -p "$work/bin" "$work/home" "$work/run" "$work/windows"
cp "$program" "$work/bin/mirravane"
cp -r "$data" "$work/windows/Mirravane"
cat >"$work/bin/mirravane-hack" <<EOF
#!/bin/sh
cd "$work/windows/Mirravane" || exit 1
exec "$work/bin/mirravane" "\$@" 2>>"$work/hack.log"
EOF
chmod 755 "$work/bin/mirravane-hack"
chmod 700 "$work/run"
cat >"$work/home/.xscreensaver" <<EOF
mode: one
selected: 0
timeout: 1:00:00
cycle: 0:00:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
grabDesktopImages: False
programs: "Mirravane" $work/bin/mirravane-hack -root \n
EOF
if [ "${MIRRAVANE_PRIMED_FOLDER:-0}" = 1 ]; then
  (cd "$work/windows/Mirravane" && MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work/windows" \
    MIRRAVANE_FRAMES=5 timeout 120 "$work/bin/mirravane" /c) >"$work/first_run.log" 2>&1
fi
setup_user
start_xvfb 640x480
start_window_manager

# The daemon with a clean environment: its hacks inherit it.
as_user env -i PATH="/usr/bin:/bin" HOME="$work/home" DISPLAY=":$display" XDG_RUNTIME_DIR="$work/run" \
  MIRRAVANE_WINDOWS_DIR="$work/windows" xscreensaver --no-splash --verbose >"$work/daemon.log" 2>&1 &
daemon_pid=$!
command_daemon() {
  as_user env HOME="$work/home" DISPLAY=":$display" xscreensaver-command "$@" >>"$work/command.log" 2>&1
}
for _ in $(seq 100); do
  command_daemon -time && break
  sleep 0.1
done
if ! command_daemon -time; then
  echo "the xscreensaver daemon did not start:"
  cat "$work/daemon.log"
  exit 1
fi

# A moving picture: two screenshots a moment apart, neither flat, that differ.
moving_picture() {
  local a="$work/a.png" b="$work/b.png" d1 d2 change
  shot root "$a" || return 1
  sleep 0.4
  shot root "$b" || return 1
  d1=$(deviation "$a") d2=$(deviation "$b") change=$(difference "$a" "$b")
  last_measure="deviation $d1 / $d2, changed pixels $change"
  above "$d1" 0.03 && above "$d2" 0.03 && above "$change" 0.01
}

pictures=0 still=0 left=0 managed=0
for n in $(seq "$activations"); do
  command_daemon -activate
  # The first start expands the objects: allow it longer.
  limit=$([ "$n" -eq 1 ] && echo 40 || echo 15)
  seen=0 last_measure="no screenshot"
  start=$(date +%s)
  while [ $(($(date +%s) - start)) -lt "$limit" ]; do
    if [ -n "$(pids_of "$work/bin/mirravane")" ] && moving_picture; then
      seen=1
      break
    fi
    sleep 0.3
  done
  # The saver lives inside xscreensaver's window: the window manager has nothing to manage.
  clients=$(xprop -display ":$display" -root _NET_CLIENT_LIST 2>/dev/null | grep -o '0x[0-9a-f]*' | wc -l)
  if [ "$clients" -ne 0 ]; then
    managed=$((managed + 1))
    echo "activation $n: the window manager manages $clients window(s)"
  fi
  if [ "$seen" -eq 1 ]; then
    pictures=$((pictures + 1))
    echo "activation $n: moving picture after $(($(date +%s) - start)) s ($last_measure)"
  else
    still=$((still + 1))
    cp "$work/a.png" "$out/xscreensaver_activation_$n.png" 2>/dev/null
    echo "activation $n: no moving picture within $limit s ($last_measure)"
  fi

  command_daemon -deactivate
  gone=0
  for _ in $(seq 50); do
    if [ -z "$(pids_of "$work/bin/mirravane")" ]; then
      gone=1
      break
    fi
    sleep 0.1
  done
  if [ "$gone" -eq 0 ]; then
    left=$((left + 1))
    echo "activation $n: the program is still running 5 s after the deactivation"
    for p in $(pids_of "$work/bin/mirravane"); do kill -9 "$p" 2>/dev/null; done
  fi
  sleep 0.5  # the daemon settles before the next activation
done

echo "xscreensaver activations: $activations, moving picture: $pictures, no picture: $still," \
  "program left running: $left, managed by the window manager: $managed"
if [ "$pictures" -ne "$activations" ] || [ "$left" -ne 0 ] || [ "$managed" -ne 0 ]; then
  echo "--- program's standard error"
  tail -n 40 "$work/hack.log" 2>/dev/null
  echo "--- error log"
  tail -n 20 "$work/windows/Mirravane/error_log.txt" 2>/dev/null
  echo "--- daemon"
  tail -n 20 "$work/daemon.log"
  exit 1
fi
exit 0
