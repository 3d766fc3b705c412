#!/usr/bin/env bash
# The real game on the real (SDL) back end under a virtual X server of 1024 x 768, played as a
# player would with the mouse and the keyboard, from the menu into level 1 and out again:
#   - the menu appears in English (its picture and items on screen); the time from exec to its
#     first frame is reported;
#   - a click on the Russian flag puts the Russian items on screen;
#   - a click on the start item shows the story, a key the tutorial, a key level 1;
#   - the world stands still while no key is held, and the right arrow held for a second moves
#     it: the ground on screen before and after differs;
#   - Escape held leaves play for the menu, still in Russian;
#   - a click on the English flag puts the English items back, one on the exit item ends the
#     game with status 0.
# Every step waits for what the screen shows (generously: a busy machine is slow), not for a set
# time. The screenshots of the last run are kept in <build>/xvfb-check/menu_*.png (a failing run
# names them).
# Needs Xvfb, xdotool, a C compiler, ImageMagick (import, convert, compare), and the game built
# with its data (the hedgerow and game_data targets).
# Usage: tools/xvfb-check/menu_check.sh [build folder]   (default: build)
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

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
# shellcheck source=screens.sh
source "$here/screens.sh"

cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

# The end of the run: where the screenshots are, and the status.
finish() {
  if [ "$failures" -eq 0 ]; then
    echo "every check passed; screenshots in $shots"
    exit 0
  fi
  echo "$failures check(s) failed; the screenshots of this run are in $shots/menu_*.png"
  exit 1
}

for tool in Xvfb xdotool cc import convert compare; do
  command -v "$tool" >/dev/null || { echo "needs $tool"; exit 2; }
done
[ -x "$game" ] || { echo "no game at $game (build it first)"; exit 2; }
[ -d "$graphics" ] || { echo "no game data in $build/game (build the game_data target)"; exit 2; }
cc -O1 -shared -fPIC -o "$work/first_lit_frame.so" "$here/first_lit_frame.c" -ldl || exit 2
mkdir -p "$shots"
rm -f "$shots"/menu_*.png

# Where to put the mouse so that the pointer's tip lands on a solid part of a picture drawn at
# (x, y): on the first solid 5 x 5 block from a third of the way down.
solid_spot() {  # picture, x, y -> "x y" on screen
  convert "$1" -alpha extract -depth 8 txt:- | awk -F'[,: ]+' -v ox="$2" -v oy="$3" '
    NR > 1 { solid[$1 "," $2] = ($0 ~ /#FFFFFF|gray\(255\)/); if ($2 > h) h = $2; if ($1 > w) w = $1 }
    END {
      for (y = int(h / 3); y + 5 <= h; y++) for (x = 0; x + 5 <= w; x++) {
        ok = 1
        for (dy = 0; dy < 5 && ok; dy++) for (dx = 0; dx < 5 && ok; dx++) ok = solid[(x + dx) "," (y + dy)]
        # The arrow tip is two pixels into the pointer picture: it lands mid-block.
        if (ok) { print ox + x, oy + y; exit }
      }
      exit 1
    }'
}

click_at() {  # "x y"
  xdotool mousemove $1
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
  xdotool mouseup 1
}

# Clicks a picture drawn at (x, y), then takes the pointer off it.
click_picture() {  # picture, x, y
  click_at "$(solid_spot "$graphics/$1" "$2" "$3")"
  xdotool mousemove 10 700
}

# How many pixels of the menu picture, over the landscape that shows through it, differ on screen
# where nothing is drawn over them: above the items and the pointer, which starts in the middle,
# and left of the flags (310800 pixels).
menu_picture_differs() {  # picture, screenshot
  convert "$2" -crop 840x370+0+0 +repage "$work/menu_shown.png"
  convert "$graphics/bg_1.png" "$graphics/$1" -composite -crop 840x370+0+0 +repage \
    "$work/menu_drawn.png"
  differing "$work/menu_shown.png" "$work/menu_drawn.png" 6%
}

# The menu of a language: its picture and both items, start and exit. The frame in which a flag
# is clicked shows the new items over the old picture.
shows_menu() {  # rus|eng, screenshot
  if [ "$1" = rus ]; then
    [ "$(menu_picture_differs menu.png "$2")" -lt 100 ] &&
      shows menu_1.png 500 400 20 "$2" && shows menu_3.png 510 460 20 "$2"
  else
    [ "$(menu_picture_differs menu_eng.png "$2")" -lt 100 ] &&
      shows menu_1_eng.png 550 400 20 "$2" && shows menu_3_eng.png 600 460 20 "$2"
  fi
}

expect_menu_picture() {  # screenshot, picture, what
  local n
  n=$(menu_picture_differs "$2" "$1")
  if [ "$n" -lt 100 ]; then
    result pass "$3 on screen ($n of its 310800 pixels above the items differ)"
  else
    result fail "$3 not on screen: $n of its 310800 pixels above the items differ ($1)"
  fi
}

# Waits up to `seconds` for the game to end; sets status to its exit status, or "running".
# Where level 1's hero stands on screen once the camera has settled, from the level file: the
# camera starts 500 pixels left of and 340 above the hero's cell (code 1) and keeps the screen's
# bottom edge at the bottom line (code 6; the last of each in the file's column order counts).
# The first frame of a level still draws the world where the camera started. Sets hero_y.
level_1_layout() {
  local hero_row bottom_row y max_y cam_y
  read -r hero_row bottom_row < <(od -An -v -td4 -w4 "$build/game/data/level/map_1.dat" |
    awk '$1 == 1 { hero = NR - 1 } $1 == 6 { bottom = NR - 1 } END { print hero % 200, bottom % 200 }')
  y=$((hero_row * 64))
  max_y=$((bottom_row * 64))
  cam_y=$((y - 340))
  [ $((cam_y + 768)) -ge "$max_y" ] && cam_y=$((max_y - 768))
  hero_y=$((y - cam_y))
  ground_top=$((hero_y + 64))
  ground_height=$((768 - ground_top < 64 ? 768 - ground_top : 64))
}

# The hero standing where the settled camera shows him (either picture of his standing).
hero_standing() {  # screenshot
  shows hero_stay_right_1.png 500 $((hero_y + 2)) 20 "$1" ||
    shows hero_stay_right_2.png 500 $((hero_y + 2)) 20 "$1"
}

# The row of ground cells the hero stands on, across the screen.
ground() {  # screenshot, out
  convert "$1" -crop "1024x$ground_height+0+$ground_top" +repage "$2"
}

# Whether the ground on the screenshot differs from the one on `before` in more than a tenth of
# its pixels.
ground_moved() {  # before, screenshot
  ground "$2" "$work/ground_now.png"
  [ "$(differing "$1" "$work/ground_now.png" 6%)" -gt $((1024 * ground_height / 10)) ]
}

start_xvfb "$work" 1024x768 || exit 2
xdotool mousemove 10 700

# 1. The menu, and the time to its first frame.
started=$(date +%s%N)
LD_PRELOAD="$work/first_lit_frame.so" "$game" 2>"$work/game.err" &
game_pid=$!
for _ in $(seq 300); do grep -q "first lit frame" "$work/game.err" && break; sleep 0.1; done
lit=$(sed -n 's/^first lit frame at //p' "$work/game.err")
if [ -n "$lit" ]; then
  result pass "first menu frame $(((lit - started) / 1000000)) ms after exec"
else
  result fail "no menu within 30 s: $(cat "$work/game.err")"
  finish
fi
wait_for 30 "$shots/menu_english.png" shows_menu eng
expect_menu_picture "$shots/menu_english.png" menu_eng.png "the English menu picture"
expect_item "$shots/menu_english.png" menu_1_eng.png 550 400 "the English start item"
expect_item "$shots/menu_english.png" menu_3_eng.png 600 460 "the English exit item"

# 2. The Russian flag.
click_picture rus.png 940 10
wait_for 30 "$shots/menu_russian.png" shows_menu rus
expect_menu_picture "$shots/menu_russian.png" menu.png "the Russian menu picture"
expect_item "$shots/menu_russian.png" menu_1.png 500 400 "the Russian start item"
expect_item "$shots/menu_russian.png" menu_3.png 510 460 "the Russian exit item"
changed=$(differing "$shots/menu_english.png" "$shots/menu_russian.png" 6%)
if [ "$changed" -gt 5000 ]; then
  result pass "the flag changed $changed pixels"
else
  result fail "the Russian flag changed only $changed pixels"
fi

# 3. The start item, the story and the tutorial; a key is pressed once each has faded in and
# shows its prompt (keys pressed during the fade are not taken).
click_picture menu_1.png 500 400
expect_shown "$shots/menu_story.png" "the start item showed the story and its prompt" \
  shows_prompt story.jpg || finish
xdotool key Return
expect_shown "$shots/menu_tutorial.png" "a key on the story showed the tutorial and its prompt" \
  shows_prompt tutorial.png || finish
xdotool key Return
expect_shown "$shots/menu_level_1.png" \
  "a key on the tutorial started level 1 (the first of its lives on screen)" \
  shows life.png 80 51 20 || finish

# 4. The world: still without a key, moved by the right arrow held for a second.
level_1_layout
expect_shown "$shots/menu_level_1.png" "the hero stands on screen at (500, $hero_y)" \
  hero_standing || finish
sleep 1
import -window root -depth 8 "$shots/menu_level_still.png"
ground "$shots/menu_level_1.png" "$work/ground_first.png"
ground "$shots/menu_level_still.png" "$work/ground_still.png"
still=$(differing "$work/ground_first.png" "$work/ground_still.png" 6%)
if [ "$still" -lt 200 ]; then
  result pass "without a key the ground stands still ($still pixels differ)"
else
  result fail "without a key the ground moved: $still pixels differ"
fi
xdotool keydown Right
sleep 1
xdotool keyup Right
expect_shown "$shots/menu_level_moved.png" \
  "the right arrow held for a second moved the world (the ground differs in a tenth of it)" \
  ground_moved "$work/ground_still.png"

# 5. Escape held leaves play; the menu is still in Russian.
xdotool keydown Escape
expect_shown "$shots/menu_again.png" "Escape held brought back the Russian menu" shows_menu rus
xdotool keyup Escape

# 6. The English flag, then the exit item.
click_picture usa.png 856 10
expect_shown "$shots/menu_english_again.png" "the English flag brought back the English menu" \
  shows_menu eng
click_picture menu_3_eng.png 600 460
wait_exit 30
if [ "$status" = 0 ]; then
  result pass "the exit item ended the game with status 0"
else
  result fail "after the exit item: status $status"
fi

finish
