#!/usr/bin/env bash
# A configuration run ended by SIGTERM, SIGHUP or SIGINT ends as Escape does: exit code 0,
# default.dat written. Headless, so no display is needed.
#   ending_signals.sh PROGRAM DATA_FOLDER
set -u
program=$(realpath "${1:?program}")
data=$(realpath "${2:?data folder}")
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
status=0

cp -r "$data" "$work/Mirravane"
# Past the first run (the introduction) once, as a user would be.
(cd "$work/Mirravane" && MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work" MIRRAVANE_FRAMES=2 \
  timeout 60 "$program" /c) >"$work/first.log" 2>&1

for signal in TERM HUP INT; do
  rm -f "$work/Mirravane/default.dat" "$work/Mirravane/error_log.txt"
  (cd "$work/Mirravane" && unset MIRRAVANE_FRAMES &&
    MIRRAVANE_BACKEND=headless MIRRAVANE_WINDOWS_DIR="$work" exec "$program" /c) >"$work/run.log" 2>&1 &
  pid=$!
  # Frames are running once the frame driver has logged its entry.
  for _ in $(seq 300); do
    grep -q "Entering Run_Mirravane" "$work/Mirravane/error_log.txt" 2>/dev/null && break
    sleep 0.1
  done
  kill -"$signal" "$pid"
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
    echo "FAIL: SIG$signal did not end the configuration run"
    status=1
    continue
  fi
  pid=""
  size=$(stat -c %s "$work/Mirravane/default.dat" 2>/dev/null || echo none)
  if [ "$code" -ne 0 ] || [ "$size" != 10136 ]; then
    echo "FAIL: SIG$signal: exit code $code, default.dat size $size"
    cat "$work/run.log"
    status=1
  else
    echo "SIG$signal: exit code 0, default.dat saved"
  fi
done
exit $status
