#!/usr/bin/env bash
# The program's windows under a real window manager (openbox on Xvfb) on a
# 1024 x 768 screen, driven by keys as a user would (xdotool):
#  - the ツール menu's keys open 連続出馬表, 買い目表 and サイン検証;
#  - サイン検証, opened last, is stacked above the stay-on-top 連続出馬表
#    and 買い目表;
#  - every window lies fully on the screen (size as well as position);
#  - Esc closes サイン検証, 連続出馬表 and 買い目表;
#  - a saved main-window width of 0 opens at the default size, fitted.
#   windows_on_a_small_screen.sh SORVIX FEEDGEN CLI WORKDIR
set -uo pipefail
sorvix=$1 feedgen=$2 cli=$3 work=$4
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"
home=$work/home
"$feedgen" --out "$home/JVLink" --from 2024-01-06 --days 2 --seed 7 --legacy-uma "$home" \
  --history-weeks 2 --old-weeks 1 >/dev/null || exit 1
"$cli" --home "$home" acquire --setup --from 2023-01-01 >/dev/null 2>&1 || exit 1
date=$("$cli" --home "$home" dates | sed -n 1p)
printf '[locate]\r\nwidth=0\r\nheight=0\r\n' >"$home/sorvix.ini"

display=:$((100 + $$ % 800))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 50); do xprop -root >/dev/null 2>&1 && break; sleep 0.2; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
QT_QPA_PLATFORM=xcb "$sorvix" --home "$home" --date "$date" >"$work/sorvix.log" 2>&1 &
sorvix_pid=$!
pids+=($sorvix_pid)

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# The window of this program titled $1 (empty when none is mapped).
window() {
  for id in $(xdotool search --onlyvisible --pid "$sorvix_pid" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return; }
  done
}
wait_window() {
  for _ in $(seq 150); do
    id=$(window "$1")
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
}
gone() {
  for _ in $(seq 50); do [ -z "$(window "$1")" ] && return 0; sleep 0.2; done
  return 1
}
# The window manager's frame of a client window: x y width height.
frame() {
  local x y w h l r t b
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4}
    /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo $((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))
}
on_screen() {
  read -r x y w h < <(frame "$2")
  echo "$1: $x $y ${w}x$h"
  if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + w)) -gt 1024 ] || [ $((y + h)) -gt 768 ]; then
    fail "$1 is not fully on the 1024 x 768 screen ($x $y ${w}x$h)"
  fi
}

main=$(wait_window Sorvix)
[ -n "$main" ] || { fail "the main window did not open"; cat "$work/sorvix.log"; exit 1; }
sleep 2
read -r _ _ mw mh < <(frame "$main")
[ "$mw" -gt 600 ] && [ "$mh" -gt 500 ] || fail "a saved width of 0 opened a ${mw}x$mh main window"
on_screen main "$main"

xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+shift+c
de=$(wait_window 連続出馬表)
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+shift+k
kaime=$(wait_window 買い目表)
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --clearmodifiers ctrl+shift+b
backtest=$(wait_window サイン検証)
[ -n "$de" ] || fail "Ctrl+Shift+C did not open 連続出馬表"
[ -n "$kaime" ] || fail "Ctrl+Shift+K did not open 買い目表"
[ -n "$backtest" ] || fail "Ctrl+Shift+B did not open サイン検証"
sleep 1

if [ -n "$backtest" ]; then
  stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
  top=$(echo "$stacking" | awk '{print $NF}')
  [ "$((top))" -eq "$((backtest))" ] || fail "サイン検証 is not on top (stacking: $stacking)"
  on_screen サイン検証 "$backtest"
fi
[ -n "$de" ] && on_screen 連続出馬表 "$de"
[ -n "$kaime" ] && on_screen 買い目表 "$kaime"
import -window root "$work/screen.png" 2>/dev/null

for title in サイン検証 買い目表 連続出馬表; do
  id=$(window "$title")
  [ -n "$id" ] || continue
  xdotool windowactivate --sync "$id" 2>/dev/null
  xdotool key --clearmodifiers Escape
  gone "$title" || fail "Esc did not close $title"
done

[ "$failed" -eq 0 ] && echo "ok"
exit "$failed"
