#!/usr/bin/env bash
# The real game on the real (SDL) back end under a virtual X server of 1024 x 768, played with a
# game controller alone: a virtual one that SDL makes inside the game's process (virtual_pad.c,
# preloaded; this machine has no uinput, and SDL's virtual controllers cannot come from another
# process). Checked:
#   - the stick moves the menu's pointer onto the start item (it lights up) and A starts a game;
#   - A goes on from the story and from the tutorial, and level 1 is played;
#   - while another window has the focus no frame is presented, and on its return they come again;
#   - Back held leaves play for the menu;
#   - SIGTERM while another window has the focus ends the game with status 0.
# The screenshots are kept in <build>/xvfb-check/pad_*.png.
# Needs Xvfb, xdotool, a C compiler with the SDL2 and X11 headers, ImageMagick (import, convert,
# compare), and the game built with its data (the hedgerow and game_data targets).
# Usage: tools/xvfb-check/pad_check.sh [build folder]   (default: build)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
game=$build/game/hedgerow
graphics=$build/game/data/graphics
shots=$build/xvfb-check
work=$(mktemp -d)
failures=0
game_pid=""
other_pid=""

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
# shellcheck source=screens.sh
source "$here/screens.sh"

cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

for tool in Xvfb xdotool cc pkg-config import convert compare; do
  command -v "$tool" >/dev/null || { echo "needs $tool"; exit 2; }
done
[ -x "$game" ] || { echo "no game at $game (build it first)"; exit 2; }
[ -d "$graphics" ] || { echo "no game data in $build/game (build the game_data target)"; exit 2; }
# shellcheck disable=SC2046  # pkg-config's flags are words
cc -O1 -shared -fPIC -o "$work/virtual_pad.so" "$here/virtual_pad.c" $(pkg-config --cflags sdl2) \
  -ldl -lpthread || exit 2
cc -O1 -shared -fPIC -o "$work/present_counter.so" "$here/present_counter.c" -ldl || exit 2
cc -O1 -o "$work/other_window" "$here/other_window.c" -lX11 || exit 2
mkdir -p "$shots"

shot() {  # name
  sleep 0.3
  import -window root -depth 8 "$shots/pad_$1.png"
}

pad() {  # command...
  echo "$*" >&3
}

press() {  # button
  pad press "$1"
  sleep 0.3
  pad release "$1"
}

# The stick leant halfway for `seconds`: at half tilt the pointer goes at three eighths of its
# full speed, 1024 pixels in 1.5 s, so 0.256 pixels per millisecond.
lean() {  # axis, seconds
  pad axis "$1" 16384
  sleep "$2"
  pad axis "$1" 0
}

frames() {
  tr -d ' \n' <"$work/count"
}

# Pixels of the start item's lettering lit up in cyan (the menu tints the item the pointer is on).
cyan_pixels() {  # screenshot
  convert "$1" -crop 250x56+550+400 +repage -fx "(r < 0.3 && g > 0.75 && b > 0.75) ? 1 : 0" \
    -format '%[fx:round(mean * w * h)]' info:
}

start_xvfb "$work" 1024x768 || exit 2
mkfifo "$work/pad"
VIRTUAL_PAD_FIFO="$work/pad" PRESENT_COUNT_FILE="$work/count" \
  LD_PRELOAD="$work/virtual_pad.so $work/present_counter.so" "$game" 2>"$work/game.err" &
game_pid=$!
if ! find_window '^Hedgerow$' || ! grep -q "virtual pad attached" "$work/game.err"; then
  result fail "no window or no virtual pad within 10 s: $(cat "$work/game.err")"
  exit 1
fi
exec 3>"$work/pad"  # the game holds the FIFO open already
sleep 2

# 1. The menu, worked by the stick and A. The pointer starts in the middle, at (512, 384); the
# start item's lettering is some 140 pixels right of it and 36 below.
shot menu
lean leftx 0.54
lean lefty 0.14
shot menu_pointed
before=$(cyan_pixels "$shots/pad_menu.png")
after=$(cyan_pixels "$shots/pad_menu_pointed.png")
if [ "$before" -lt 50 ] && [ "$after" -gt 500 ]; then
  result pass "the stick put the pointer on the start item: $after cyan pixels there (before: $before)"
else
  result fail "the start item did not light up: $before cyan pixels before, $after after"
fi

# 2. A through the story and the tutorial into level 1, pressed once each screen has faded in
# and shows its prompt (a press during the fade is not taken).
press a
expect_shown "$shots/pad_story.png" "after A on the start item, the story and its prompt" \
  shows_prompt story.jpg
press a
expect_shown "$shots/pad_tutorial.png" "after A on the story, the tutorial and its prompt" \
  shows_prompt tutorial.png
press a
expect_shown "$shots/pad_level_1.png" "after A on the tutorial, level 1 (the first of its lives)" \
  shows life.png 80 51 20

# Another program's window, which takes the focus from the game.
open_other_window() {
  "$work/other_window" &
  other_pid=$!
  find_window '^other window$' && xdotool windowfocus --sync "$window"
}

close_other_window() {
  kill "$other_pid"
  wait "$other_pid" 2>/dev/null
  other_pid=""
}

# 3. Away: another window takes the focus for two seconds.
if open_other_window; then
  sleep 0.5
  away_from=$(frames)
  sleep 2
  away_to=$(frames)
  # Found again: the window found at the start may have been replaced since by the one shown.
  find_window '^Hedgerow$' && xdotool windowfocus --sync "$window"
  sleep 1
  back_to=$(frames)
  if [ "$away_to" -eq "$away_from" ] && [ "$back_to" -gt $((away_to + 3)) ]; then
    result pass "no frame while away for 2 s ($away_from presented before), $((back_to - away_to)) in the second after the return"
  else
    result fail "away: $away_from frames, $away_to after 2 s away, $back_to a second after the return"
  fi
else
  result fail "the other window did not appear"
fi
close_other_window

# 4. Back held leaves play.
pad press back
expect_shown "$shots/pad_menu_again.png" "after Back held, the menu (its exit item)" \
  shows menu_3_eng.png 600 460 20
pad release back

# 5. SIGTERM while away.
open_other_window
sleep 0.5
kill -TERM "$game_pid"
wait_exit 5
if [ "$status" = 0 ]; then result pass "SIGTERM while away: exit status 0"; else
  result fail "SIGTERM while away: $status"
fi

echo "screenshots in $shots"
echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
