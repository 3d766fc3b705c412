#!/usr/bin/env bash
# Checks the game on the real (SDL) back end under a virtual X server:
#   - a window titled "Hedgerow" appears and covers the whole screen at (0, 0);
#   - it shows black frames at about 60 per second;
#   - a close request from the window manager ends it with status 0, and so does SIGTERM;
#   - without an X server it stops with a message and a non-zero status;
#   - a scene using every blend mode looks the same on the real back end as on the headless one.
# Needs Xvfb, xdotool, a C compiler with the X11 headers; ImageMagick (`import`, `compare`) for
# the picture checks (skipped when missing).
# Usage: tools/xvfb-check/run.sh [build folder]   (default: build; targets hedgerow, backend_compare)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
game=$build/game/hedgerow
compare_tool=$build/tools/xvfb-check/backend_compare
work=$(mktemp -d)
failures=0
xvfb_pid=""
game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

start_game() {  # stderr file
  LD_PRELOAD="$work/present_counter.so" "$game" 2>"$1" &
  game_pid=$!
}

wait_exit() {  # seconds; sets status to the exit status, or "running"
  status=running
  for _ in $(seq $(($1 * 10))); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid"
      status=$?
      game_pid=""
      return
    fi
    sleep 0.1
  done
}

find_window() {
  for _ in $(seq 100); do
    window=$(xdotool search --name '^Hedgerow$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  return 1
}

[ -x "$game" ] || { echo "no game at $game (build it first)"; exit 2; }
cc -O1 -o "$work/wm_close" "$here/wm_close.c" -lX11 || exit 2
cc -O1 -shared -fPIC -o "$work/present_counter.so" "$here/present_counter.c" -ldl || exit 2

# A display number nobody uses.
n=99
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
echo "Xvfb on $DISPLAY, screen $(xdotool getdisplaygeometry | tr ' ' x)"

# 1. Window, geometry, frames, close request.
start_game "$work/run1.err"
if find_window; then
  result pass "window \"$(xdotool getwindowname "$window")\" appeared"
  geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
  if echo "$geometry" | grep -q "Position: 0,0" && echo "$geometry" | grep -q "Geometry: 1280x1024"; then
    result pass "covers the screen: $geometry"
  else
    result fail "does not cover the screen: $geometry"
  fi
  sleep 3
  if command -v import >/dev/null; then
    lit=$(import -window root -depth 8 rgb:- 2>/dev/null | tr -d '\000' | wc -c)
    if [ "$lit" -eq 0 ]; then result pass "the screen is black"; else result fail "$lit non-black bytes"; fi
  else
    echo "skip: no ImageMagick import for the colour check"
  fi
  "$work/wm_close" "$window"
  wait_exit 5
  if [ "$status" = 0 ]; then result pass "close request: exit status 0"; else result fail "close request: $status"; fi
  report=$(grep presented "$work/run1.err")
  rate=$(echo "$report" | sed -n 's/.*, \([0-9.]*\) per second.*/\1/p')
  if [ -n "$rate" ] && awk -v r="$rate" 'BEGIN { exit !(r >= 50 && r <= 70) }'; then
    result pass "$report"
  else
    result fail "frame rate: ${report:-no report (exit handlers did not run?)}"
  fi
else
  result fail "no window titled Hedgerow within 10 s: $(cat "$work/run1.err")"
fi
[ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && game_pid=""

# 2. SIGTERM.
start_game "$work/run2.err"
find_window >/dev/null
sleep 1
kill -TERM "$game_pid"
wait_exit 5
if [ "$status" = 0 ]; then result pass "SIGTERM: exit status 0"; else result fail "SIGTERM: $status"; fi
[ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && game_pid=""

# 3. No X server at all.
DISPLAY=:$((n + 1000)) "$game" 2>"$work/run3.err" &
game_pid=$!
wait_exit 10
message=$(grep -m 1 "^Hedgerow:" "$work/run3.err")
if [ "$status" != 0 ] && [ "$status" != running ] && [ -n "$message" ]; then
  result pass "no X server: status $status, \"$message\""
else
  result fail "no X server: status $status, \"$message\""
fi

# 4. The same scene on both back ends, compared pixel by pixel (edges may differ a little).
if [ -x "$compare_tool" ] && command -v compare >/dev/null; then
  "$compare_tool" headless "$work/headless.png"
  "$compare_tool" sdl 2>"$work/run4.err" &
  game_pid=$!
  if find_window; then
    sleep 1
    geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/+\1+\2/p')
    import -window root -crop "1024x768$geometry" +repage "$work/sdl.png"
    differing=$(compare -metric AE -fuzz 4% "$work/headless.png" "$work/sdl.png" null: 2>&1)
    if [ "${differing%%.*}" -lt 800 ] 2>/dev/null; then
      result pass "the two back ends agree: $differing of 786432 pixels differ by more than 4%"
    else
      result fail "the back ends differ: $differing pixels (pictures kept in $build/xvfb-check)"
      mkdir -p "$build/xvfb-check" && cp "$work/headless.png" "$work/sdl.png" "$build/xvfb-check/"
    fi
    "$work/wm_close" "$window"
    wait_exit 5
  else
    result fail "backend_compare showed no window: $(cat "$work/run4.err")"
  fi
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && game_pid=""
else
  echo "skip: no backend_compare in $build or no ImageMagick compare"
fi

echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
