#!/usr/bin/env bash
# Alt+Enter on the real (SDL) back end under a virtual X server of 1280 x 1024, on a bare X
# server and again under a window manager (openbox) when one is installed:
#   - the game's full-screen menu becomes a normal window of 1024 x 768 showing the same picture,
#     decorated when there is a window manager;
#   - made 800 x 700, the window shows the picture letterboxed between black bars;
#   - Alt+Enter again gives back full screen with the same picture as before, pixel for pixel,
#     and the game still ends with status 0 on SIGTERM;
#   - in input_check, the Alt of Alt+Enter reaches the game and its Enter does not (Enter alone
#     does), and the pointer over the 800 x 700 window reads in back-buffer pixels.
# The screenshots are kept in <build>/xvfb-check/window_*.png.
# Needs Xvfb, xdotool, xwininfo (Debian package x11-utils) and ImageMagick (import, convert,
# compare); openbox is optional.
# Usage: tools/xvfb-check/window_check.sh [build folder]   (default: build; needs the game with
#   its data and input_check built)
# Exit status: 0 when every check passed, 1 when any failed, 2 when the checks could not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd) || { echo "no build folder ${1:-$root/build}"; exit 2; }
game=$build/game/hedgerow
input_tool=$build/tools/input-check/input_check
shots=$build/xvfb-check
work=$(mktemp -d)
failures=0
game_pid=""
wm_pid=""

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
# shellcheck source=screens.sh
source "$here/screens.sh"

stop_wm() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  wm_pid=""
}

cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  stop_wm
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

for tool in Xvfb xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "window_check cannot run: needs $tool"; exit 2; }
done
for program in "$game" "$input_tool"; do
  [ -x "$program" ] || { echo "window_check cannot run: not built: $program"; exit 2; }
done
[ -d "$build/game/data" ] || { echo "window_check cannot run: no game data in $build/game"; exit 2; }
mkdir -p "$shots"

# "x y w h" of the window's inside, on the screen (xdotool counts a window manager's frame in).
geometry() {
  xwininfo -id "$window" 2>/dev/null | awk -F: '
    /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /Width/ { w = $2 } /Height/ { h = $2 }
    END { printf "%d %d %d %d", x, y, w, h }'
}

# Waits up to 5 s for the window's size to become `size` (WxH).
wait_size() {  # size
  for _ in $(seq 50); do
    [ "$(geometry | awk '{ print $3 "x" $4 }')" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# The game's menu, switched to a window, resized, and switched back.
check_game() {  # desktop name
  local desk=$1 x y w h n full_area
  "$game" 2>"$work/game.err" &
  game_pid=$!
  if ! find_window '^Hedgerow$'; then
    result fail "$desk: no game window: $(cat "$work/game.err")"
    return
  fi
  if ! steady_screen "$shots/window_${desk}_full.png" "$work"; then
    result fail "$desk: the game's menu did not come: $(cat "$work/game.err")"
    return
  fi
  # The menu fills 1280 x 960 of the screen, between bars of 32 rows.
  convert "$shots/window_${desk}_full.png" -crop 1280x960+0+32 +repage "$work/full_area.png"
  full_area=$work/full_area.png

  xdotool key alt+Return
  if ! wait_size 1024x768; then
    result fail "$desk: after Alt+Enter the window is not 1024 x 768: $(geometry)"
    return
  fi
  sleep 1  # a window manager may place the window after giving it its size
  read -r x y w h <<<"$(geometry)"
  import -window root "$shots/window_${desk}_window.png"
  convert "$shots/window_${desk}_window.png" -crop "${w}x${h}+$x+$y" +repage "$work/inside.png"
  convert "$full_area" -resize 1024x768! "$work/expected.png"
  n=$(differing "$work/inside.png" "$work/expected.png" 12%)
  if [ "$n" -lt 16000 ]; then
    result pass "$desk: Alt+Enter gives a 1024 x 768 window at $x,$y with the same picture ($n of 786432 pixels differ by more than 12% from the full screen's, scaled)"
  else
    result fail "$desk: the 1024 x 768 window at $x,$y does not show the picture: $n pixels differ"
  fi
  if [ "$desk" != bare ]; then
    convert "$shots/window_${desk}_window.png" -crop "${w}x8+$x+$((y - 8))" +repage "$work/frame.png"
    if awk -v s="$(lit_share "$work/frame.png")" 'BEGIN { exit !(s > 0.5) }'; then
      result pass "$desk: the window has the window manager's frame above it"
    else
      result fail "$desk: nothing drawn above the window: no frame"
    fi
  fi

  xdotool windowsize "$window" 800 700
  if ! wait_size 800x700; then
    result fail "$desk: the window could not be made 800 x 700: $(geometry)"
  else
    sleep 1
    read -r x y w h <<<"$(geometry)"
    import -window root "$shots/window_${desk}_800x700.png"
    convert "$shots/window_${desk}_800x700.png" -crop "800x700+$x+$y" +repage "$work/small.png"
    convert "$work/small.png" -crop 800x48+0+0 +repage "$work/bar_top.png"
    convert "$work/small.png" -crop 800x48+0+652 +repage "$work/bar_bottom.png"
    convert "$work/small.png" -crop 800x600+0+50 +repage "$work/middle.png"
    convert "$full_area" -resize 800x600! "$work/expected_small.png"
    n=$(differing "$work/middle.png" "$work/expected_small.png" 12%)
    if [ "$(lit_share "$work/bar_top.png")" = 0 ] && [ "$(lit_share "$work/bar_bottom.png")" = 0 ] &&
      [ "$n" -lt 10000 ]; then
      result pass "$desk: at 800 x 700 the picture is 800 x 600 between black bars ($n of 480000 pixels differ by more than 12%)"
    else
      result fail "$desk: at 800 x 700 the picture is not letterboxed ($n pixels differ; bars lit $(lit_share "$work/bar_top.png") $(lit_share "$work/bar_bottom.png"))"
    fi
  fi

  xdotool key alt+Return
  if ! wait_size 1280x1024; then
    result fail "$desk: Alt+Enter again does not give back full screen: $(geometry)"
    return
  fi
  sleep 1
  import -window root "$shots/window_${desk}_full_again.png"
  n=$(differing "$shots/window_${desk}_full.png" "$shots/window_${desk}_full_again.png" 4%)
  if [ "$(geometry)" = "0 0 1280 1024" ] && [ "$n" -lt 1300 ]; then
    result pass "$desk: Alt+Enter again gives back full screen with the same picture ($n of 1310720 pixels differ)"
  else
    result fail "$desk: back at full screen: window $(geometry), $n pixels differ from the first picture"
  fi

  kill -TERM "$game_pid"
  wait_exit 5
  if [ "$status" = 0 ]; then result pass "$desk: SIGTERM after it all: status 0"; else
    result fail "$desk: SIGTERM after it all: status $status: $(cat "$work/game.err")"
  fi
}

# What the game reads of Alt+Enter, of Enter, and of the pointer over a resized window.
check_input() {  # desktop name
  local desk=$1 x y w h out=$work/input.out lines
  "$input_tool" 20 full >"$out" 2>&1 &
  game_pid=$!
  if ! find_window '^Hedgerow$'; then
    result fail "$desk: input_check showed no window: $(cat "$out")"
    return
  fi
  for _ in $(seq 50); do grep -q '^ready' "$out" && break; sleep 0.1; done
  sleep 0.5
  xdotool key alt+Return
  wait_size 1024x768 || result fail "$desk: input_check: no window after Alt+Enter: $(geometry)"
  sleep 0.5
  xdotool windowsize "$window" 800 700
  wait_size 800x700 || result fail "$desk: input_check: the window was not made 800 x 700"
  sleep 0.5
  read -r x y w h <<<"$(geometry)"
  # The picture is 800 x 600 from row 50: the window's (400, 350) is the back buffer's (512, 384).
  xdotool mousemove $((x + 400)) $((y + 350))
  sleep 0.5
  lines=$(wc -l <"$out")
  xdotool key Return
  sleep 0.5
  xdotool key Escape
  wait_exit 5
  if ! grep -qx "key 164" "$out"; then
    result fail "$desk: the Alt of Alt+Enter did not reach the game: $(tr '\n' ' ' <"$out")"
  elif head -n "$lines" "$out" | grep -qx -e "key 13" -e "down 13"; then
    result fail "$desk: the Enter of Alt+Enter reached the game: $(tr '\n' ' ' <"$out")"
  elif ! tail -n +"$((lines + 1))" "$out" | grep -qx "key 13"; then
    result fail "$desk: Enter alone did not reach the game: $(tr '\n' ' ' <"$out")"
  else
    result pass "$desk: of Alt+Enter the game reads the Alt only; Enter alone it reads"
  fi
  if grep -qx "mouse 512 384" "$out"; then
    result pass "$desk: the pointer at (400, 350) of the 800 x 700 window reads as (512, 384)"
  else
    result fail "$desk: the pointer over the window read as: $(grep '^mouse' "$out" | tail -n 3 | tr '\n' ' ')"
  fi
  [ "$status" = 0 ] || result fail "$desk: input_check ended with $status"
}

desktops=(bare)
if command -v openbox >/dev/null; then
  desktops+=(openbox)
else
  echo "not checked under a window manager: openbox (Debian package openbox) is not installed"
fi
for desk in "${desktops[@]}"; do
  start_xvfb "$work" || { echo "window_check cannot run: no virtual X server"; exit 2; }
  if [ "$desk" = openbox ]; then
    openbox >"$work/wm.log" 2>&1 &
    wm_pid=$!
    sleep 1
  fi
  check_game "$desk"
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
  game_pid=""
  check_input "$desk"
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
  game_pid=""
  stop_wm
  stop_xvfb
done

echo "screenshots in $shots"
echo "window_check: $failures check(s) failed"
[ "$failures" -eq 0 ]
