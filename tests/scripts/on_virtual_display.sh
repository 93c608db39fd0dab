#!/usr/bin/env bash
# Runs a test program on a virtual X server of its own (1024x768, 24 bits).
#   on_virtual_display.sh PROGRAM [ARGUMENTS...]
# Exit: the program's, or 77 (skipped) when Xvfb is missing.
set -u
source "$(dirname "$(realpath "$0")")/x_test_session.sh"
need_commands Xvfb
work=$(mktemp -d)
trap end_x_session EXIT
start_xvfb 1024x768
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$@"
