#!/usr/bin/env bash
# Runs a command on a screen of its own with a window manager, as a person's
# desktop has one: Xvfb of SIZE (WxH) with openbox, the command on the X
# platform of Qt.  Exit code 77 (skipped) when a tool is missing.
#   with_openbox.sh SIZE COMMAND [ARGS...]
set -uo pipefail
size=$1
shift
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done
Xvfb -displayfd 1 -screen 0 "${size}x24" -nolisten tcp >"/tmp/with_openbox.$$" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "/tmp/with_openbox.$$" ] && break; sleep 0.1; done
display=$(head -n1 "/tmp/with_openbox.$$")
rm -f "/tmp/with_openbox.$$"
[ -n "$display" ] || { echo "Xvfb did not start"; kill "$xvfb" 2>/dev/null; exit 1; }
export DISPLAY=:$display
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" "$xvfb" 2>/dev/null' EXIT
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
sleep 0.5
QT_QPA_PLATFORM=xcb "$@"
