# Shared by the scripts that run the program on a virtual X server: the server, an
# unprivileged user for the X clients, screenshots and the program's processes.
# Source it; it defines functions and the variables work, display, xvfb_pid, run_as.

# Exits 77 (a skipped test) naming the first command that is missing.
need_commands() {
  local c
  for c in "$@"; do
    if ! command -v "$c" >/dev/null 2>&1; then
      echo "skipped: $c is not installed"
      exit 77
    fi
  done
}

# X clients of a screen saver refuse to run as root: as root, run them as nobody with a
# home of their own in the work folder.
setup_user() {
  run_as=()
  if [ "$(id -u)" -eq 0 ]; then
    need_commands setpriv
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chown -R nobody:nogroup "$work"
  fi
}

as_user() { "${run_as[@]}" "$@"; }

# A virtual screen WIDTHxHEIGHT (more Xvfb options may follow). The server picks a free
# display number itself and reports it through -displayfd, so scripts run side by side never
# race for the same number; the number lands in $display.
start_xvfb() {
  local size=$1
  shift
  display=""
  : >"$work/xvfb.display"
  # -ac: the unprivileged clients have no authority file; only the local socket listens.
  # -noreset: the server would otherwise reset when its last client leaves (the readiness
  # check below is one), and a client connecting during that reset is refused.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -ac -noreset "$@" \
    3>"$work/xvfb.display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 150); do
    display=$(head -n 1 "$work/xvfb.display" 2>/dev/null | tr -dc '0-9')
    if [ -n "$display" ]; then
      ! command -v xdpyinfo >/dev/null 2>&1 && return 0
      xdpyinfo -display ":$display" >/dev/null 2>&1 && return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
}

# Ends what a script started (its program, the window manager, the server) and removes
# the work folder; for `trap end_x_session EXIT`.
end_x_session() {
  stop_pid "${app_pid:-}"
  stop_pid "${wm_pid:-}"
  stop_pid "${xvfb_pid:-}"
  rm -rf "$work"
}

# Starts openbox and waits until it manages the screen; a start that failed at once is
# tried again.
start_window_manager() {
  local attempt i
  for attempt in 1 2 3; do
    as_user env DISPLAY=":$display" HOME="$work/home" openbox >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    for i in $(seq 100); do
      xprop -display ":$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$wm_pid" 2>/dev/null && break
  done
  echo "openbox did not start:"
  cat "$work/openbox.log"
  exit 1
}

# The process ids whose program is the file $1.
pids_of() {
  local p
  for p in /proc/[0-9]*; do
    [ "$p/exe" -ef "$1" ] 2>/dev/null && echo "${p#/proc/}"
  done
  return 0
}

# Screenshot of window $1 (or "root") into file $2; false when it cannot be taken.
shot() { import -display ":$display" -window "$1" "$2" 2>/dev/null; }

# Standard deviation (0..1) of the area $2 (WxH+X+Y, or "" for all) of image $1.
deviation() {
  if [ -n "${2:-}" ]; then
    convert "$1" -crop "$2" +repage -format '%[fx:standard_deviation]' info: 2>/dev/null
  else
    convert "$1" -format '%[fx:standard_deviation]' info: 2>/dev/null
  fi
}

# Mean brightness (0..1) of the area $2 of image $1.
brightness() { convert "$1" -crop "$2" +repage -format '%[fx:mean]' info: 2>/dev/null; }

# Share (0..1) of the pixels that differ between two images of the same size.
difference() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 >/dev/null | sed 's/[^0-9.e+].*//')
  convert "$1" -format "%[fx:${n:-0}/(w*h)]" info: 2>/dev/null
}

above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }

stop_pid() {
  [ -n "${1:-}" ] || return 0
  kill "$1" 2>/dev/null
  local i
  for i in $(seq 30); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 0
}
