#!/usr/bin/env bash
# Checks the game on the real (SDL) back end under a virtual X server:
#   - a window titled "Hedgerow" appears, covers the whole screen at (0, 0) and shows a picture
#     (the menu; menu_check.sh, run at the end, checks what it shows and plays from it);
#   - a full-screen window of the media layer with little to draw shows frames at about 60 per
#     second (the game's own rate is reported: on a software renderer it depends on the machine);
#   - a close request from the window manager ends it with status 0, and so does SIGTERM;
#   - without an X server it stops with a message and a non-zero status;
#   - a scene using every blend mode, mask mode's alpha test at two drawing alphas included,
#     looks the same on the real back end as on the headless one;
#   - a key held while another window takes the focus and gives it back reads as up until it is
#     pressed again, and a Shift pressed in the other window does not read as held;
#   - the game played with the mouse and the keyboard: the menu and its flags, the story, the
#     tutorial, level 1 moved by the right arrow, Escape back to the menu, its exit item
#     (menu_check.sh), and with a controller alone, no frame shown while another window has the
#     focus (pad_check.sh);
#   - Alt+Enter switches to a normal window and back (window_check.sh, run at the end);
#   - a game recorded on the real back end with xdotool input ends, played back headless, at the
#     same frame, level, score and lives (replay_check.sh, run at the end).
# Needs Xvfb, xdotool, a C compiler with the X11 and SDL2 headers (libx11-dev; libsdl2-dev, which
# the build needs anyway), pkg-config, xwininfo (x11-utils) and ImageMagick (import, compare);
# openbox, when installed, is used too; it installs nothing.
# Usage: tools/xvfb-check/run.sh [build folder]
#   (default: build; needs the targets hedgerow, backend_compare and input_check built)
# Exit status: 0 when every check passed, 1 when any failed, 2 when the checks could not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd) || { echo "no build folder ${1:-$root/build}"; exit 2; }
game=$build/game/hedgerow
compare_tool=$build/tools/xvfb-check/backend_compare
input_tool=$build/tools/input-check/input_check
work=$(mktemp -d)
failures=0
game_pid=""
other_pid=""

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"

cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

cannot_run() {
  echo "xvfb-check cannot run: $1"
  exit 2
}

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

# Tools and the programs under test, all named at once.
missing=()
for tool in Xvfb:xvfb xdotool:xdotool cc:gcc pkg-config:pkg-config import:imagemagick compare:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool%%:*} (Debian package ${tool#*:})")
done
[ ${#missing[@]} -eq 0 ] || cannot_run "missing ${missing[*]}"
for program in "$game" "$compare_tool" "$input_tool"; do
  [ -x "$program" ] || missing+=("$program")
done
[ ${#missing[@]} -eq 0 ] || cannot_run "not built: ${missing[*]} (cmake --build $build)"
for helper in wm_close other_window; do
  cc -O1 -o "$work/$helper" "$here/$helper.c" -lX11 2>"$work/cc.err" ||
    cannot_run "$helper.c does not compile (X11 headers: Debian package libx11-dev): $(cat "$work/cc.err")"
done
cc -O1 -shared -fPIC -o "$work/present_counter.so" "$here/present_counter.c" -ldl ||
  cannot_run "present_counter.c does not compile"

start_game() {  # stderr file
  LD_PRELOAD="$work/present_counter.so" "$game" 2>"$1" &
  game_pid=$!
}

end_game() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null && wait "$game_pid" 2>/dev/null
  game_pid=""
}

# Waits up to 5 s for `line` among the lines of `file` after the first `skip`.
wait_for_line() {  # file, skip, line
  for _ in $(seq 50); do
    tail -n +"$(($2 + 1))" "$1" | grep -qx "$3" && return 0
    sleep 0.1
  done
  return 1
}

# Nanoseconds the threads of a process have spent ready to run but waiting for a processor.
waited_ns() {  # pid
  cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ sum += $2 } END { printf "%.0f", sum }'
}

# Frames should come at about 60 per second. Well above that the pacing is broken whatever the
# machine does. Below it the game may only have been starved: when the threads of the game and
# the X server together spent more than a tenth of the time waiting for a processor (a machine
# busy with other work), a low rate says nothing about the game and is reported, not counted.
check_frame_rate() {  # report of present_counter, seconds watched, ns the game and Xvfb waited
  local rate starved
  rate=$(echo "$1" | sed -n 's/.*, \([0-9.]*\) per second.*/\1/p')
  starved=$(awk -v w="$3" -v t="$2" 'BEGIN { printf "%.0f", 100 * w / (t * 1e9) }')
  if [ -z "$rate" ]; then
    result fail "frame rate: ${1:-no report (exit handlers did not run?)}"
  elif awk -v r="$rate" 'BEGIN { exit !(r >= 50 && r <= 70) }'; then
    result pass "$1"
  elif awk -v r="$rate" -v s="$starved" 'BEGIN { exit !(r < 50 && s > 10) }'; then
    echo "not judged: $1, but the game and the X server waited $starved% of the time for a processor"
  else
    result fail "frame rate: $1 (waited $starved% of the time for a processor)"
  fi
}

start_xvfb "$work" || cannot_run "no virtual X server"
echo "Xvfb on $DISPLAY, screen $(xdotool getdisplaygeometry | tr ' ' x)"

# 1. Window, geometry, colour, frames, close request.
start_game "$work/run1.err"
if find_window '^Hedgerow$'; then
  result pass "window \"$(xdotool getwindowname "$window")\" appeared"
  geometry=$(xdotool getwindowgeometry "$window" | tr '\n' ' ')
  if echo "$geometry" | grep -q "Position: 0,0" && echo "$geometry" | grep -q "Geometry: 1280x1024"; then
    result pass "covers the screen: $geometry"
  else
    result fail "does not cover the screen: $geometry"
  fi
  waited=$(($(waited_ns "$game_pid") + $(waited_ns "$xvfb_pid")))
  sleep 3
  waited=$(($(waited_ns "$game_pid") + $(waited_ns "$xvfb_pid") - waited))
  lit=$(import -window root -depth 8 rgb:- 2>/dev/null | tr -d '\000' | wc -c)
  # The menu covers the screen, letterboxed: most of it is lit.
  total=$((1280 * 1024 * 3))
  if [ "$lit" -gt $((total / 2)) ]; then
    result pass "the window shows a picture: $lit of $total bytes lit"
  else
    result fail "the window is mostly black: $lit of $total bytes lit"
  fi
  "$work/wm_close" "$window"
  wait_exit 5
  if [ "$status" = 0 ]; then result pass "close request: exit status 0"; else result fail "close request: $status"; fi
  echo "the menu: $(grep presented "$work/run1.err")"
else
  result fail "no window titled Hedgerow within 10 s: $(cat "$work/run1.err")"
fi
end_game

# 2. The pace of frames, on a window with next to nothing to draw.
LD_PRELOAD="$work/present_counter.so" "$input_tool" 4 full >/dev/null 2>"$work/pace.err" &
game_pid=$!
sleep 1.5
waited=$(($(waited_ns "$game_pid") + $(waited_ns "$xvfb_pid")))
sleep 2
waited=$(($(waited_ns "$game_pid") + $(waited_ns "$xvfb_pid") - waited))
wait_exit 15
check_frame_rate "$(grep presented "$work/pace.err")" 2 "$waited"
end_game

# 3. SIGTERM.
start_game "$work/run2.err"
if find_window '^Hedgerow$'; then
  sleep 1
  kill -TERM "$game_pid"
  wait_exit 5
  if [ "$status" = 0 ]; then result pass "SIGTERM: exit status 0"; else result fail "SIGTERM: $status"; fi
else
  result fail "SIGTERM: no window to end: $(cat "$work/run2.err")"
fi
end_game

# 4. No X server at all.
DISPLAY=:65000 "$game" 2>"$work/run3.err" &
game_pid=$!
wait_exit 10
message=$(grep -m 1 "^Hedgerow:.*display" "$work/run3.err")
if [ "$status" != 0 ] && [ "$status" != running ] && [ -n "$message" ]; then
  result pass "no X server: status $status, \"$message\""
else
  result fail "no X server: status $status, \"$message\""
fi
end_game

# 5. The same scene on both back ends, compared pixel by pixel (edges may differ a little).
if "$compare_tool" headless "$work/headless.png" 2>"$work/run4.err"; then
  "$compare_tool" sdl 2>>"$work/run4.err" &
  game_pid=$!
  if find_window '^Hedgerow$'; then
    geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/+\1+\2/p')
    # A busy machine may take a while to show the first frames: looked at again for up to 10 s.
    for _ in $(seq 10); do
      sleep 1
      import -window root -crop "1024x768$geometry" +repage "$work/sdl.png"
      differing=$(compare -metric AE -fuzz 4% "$work/headless.png" "$work/sdl.png" null: 2>&1)
      [ "${differing%%.*}" -lt 800 ] 2>/dev/null && break
    done
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
else
  result fail "backend_compare could not draw the headless picture: $(cat "$work/run4.err")"
fi
end_game

# 6. A key held through a change of focus. input_check prints what the game reads.
"$input_tool" 30 >"$work/input.out" 2>&1 &
game_pid=$!
"$work/other_window" &
other_pid=$!
if find_window '^Hedgerow$' && game_window=$window && find_window '^other window$'; then
  other_window=$window
  xdotool windowfocus --sync "$game_window"
  sleep 0.3
  xdotool keydown Right
  wait_for_line "$work/input.out" 0 "down 39"
  sleep 1  # long enough for the key's auto-repeat to start
  before=$(cat "$work/input.out")
  xdotool windowfocus --sync "$other_window"
  sleep 0.3
  xdotool keydown Shift_L
  sleep 0.3
  xdotool windowfocus --sync "$game_window"
  sleep 1
  after=$(tail -n +"$(($(echo "$before" | wc -l) + 1))" "$work/input.out")
  xdotool keyup Right keyup Shift_L
  sleep 0.3
  released=$(wc -l <"$work/input.out")
  xdotool key Right
  wait_for_line "$work/input.out" "$released" "key 39"
  xdotool keydown Escape
  sleep 0.2
  xdotool keyup Escape
  wait_exit 5
  last=$(tail -n +"$((released + 1))" "$work/input.out" | tr '\n' ' ')
  if ! echo "$before" | grep -qx "down 39"; then
    result fail "focus: Right held did not read as held before the focus went: $(echo "$before" | tr '\n' ' ')"
  elif echo "$after" | grep -qx -e "down 39" -e "key 39" -e "down 160" -e "key 160"; then
    result fail "focus: a key held through the focus change read as pressed: $(echo "$after" | tr '\n' ' ')"
  elif ! echo "$last" | grep -q "key 39 "; then
    result fail "focus: pressed again after the focus change, Right was not read: $last"
  else
    result pass "a key held through a focus change reads as up until pressed again; Shift pressed in another window is not read"
  fi
else
  result fail "input_check or the other window showed no window: $(cat "$work/input.out")"
fi
end_game
kill "$other_pid" 2>/dev/null
other_pid=""

# 7. The game as a player works it with the mouse and the keyboard, from the menu into level 1
# and out again (its screenshots stay in <build>/xvfb-check/menu_*.png).
"$here/menu_check.sh" "$build"
case $? in
  0) result pass "menu_check.sh: the menu, its flags, the story, the tutorial, level 1, Escape and the exit item work" ;;
  2) cannot_run "menu_check.sh could not run" ;;
  *) result fail "menu_check.sh: see above" ;;
esac

# 8. The game played with a controller alone, and waiting while its window is away.
"$here/pad_check.sh" "$build"
case $? in
  0) result pass "pad_check.sh: the pad works the menu, the screens and play; the game waits while away" ;;
  2) cannot_run "pad_check.sh could not run" ;;
  *) result fail "pad_check.sh: see above" ;;
esac

# 9. Alt+Enter: full screen to a window and back, bare and under a window manager.
"$here/window_check.sh" "$build"
case $? in
  0) result pass "window_check.sh: Alt+Enter switches to a window and back, and its Enter stays out of the game" ;;
  2) cannot_run "window_check.sh could not run" ;;
  *) result fail "window_check.sh: see above" ;;
esac

# 10. A game recorded under Xvfb and played back headless.
"$here/replay_check.sh" "$build"
case $? in
  0) result pass "replay_check.sh: a recorded game played back headless ends the same" ;;
  2) cannot_run "replay_check.sh could not run" ;;
  *) result fail "replay_check.sh: see above" ;;
esac

if [ "$failures" -eq 0 ]; then
  echo "xvfb-check: every check passed"
  exit 0
fi
echo "xvfb-check: $failures check(s) failed"
exit 1
