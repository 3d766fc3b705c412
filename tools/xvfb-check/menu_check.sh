#!/usr/bin/env bash
# The real game's menu on the real (SDL) back end under a virtual X server of 1024 x 768, used
# as a player would with the mouse:
#   - the menu appears in English; the time from exec to its first frame is reported;
#   - a click on the Russian flag puts the Russian items on screen, one on the English flag the
#     English ones back;
#   - a click on the exit item ends the game with status 0.
# The screenshots are kept in <build>/xvfb-check/menu_*.png.
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

for tool in Xvfb xdotool cc import convert compare; do
  command -v "$tool" >/dev/null || { echo "needs $tool"; exit 2; }
done
[ -x "$game" ] || { echo "no game at $game (build it first)"; exit 2; }
[ -d "$graphics" ] || { echo "no game data in $build/game (build the game_data target)"; exit 2; }
cc -O1 -shared -fPIC -o "$work/first_lit_frame.so" "$here/first_lit_frame.c" -ldl || exit 2
mkdir -p "$shots"

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

shot() {  # name
  import -window root -depth 8 "$shots/menu_$1.png"
}

# shellcheck source=screens.sh
source "$here/screens.sh"

n=99
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool mousemove 10 700

# 1. The menu, and the time to its first frame.
started=$(date +%s%N)
LD_PRELOAD="$work/first_lit_frame.so" "$game" 2>"$work/game.err" &
game_pid=$!
for _ in $(seq 100); do grep -q "first lit frame" "$work/game.err" && break; sleep 0.1; done
lit=$(sed -n 's/^first lit frame at //p' "$work/game.err")
if [ -n "$lit" ]; then
  result pass "first menu frame $(((lit - started) / 1000000)) ms after exec"
else
  result fail "no menu within 10 s: $(cat "$work/game.err")"
  exit 1
fi
sleep 1
shot english
expect_item "$shots/menu_english.png" menu_1_eng.png 550 400 "the English start item"
expect_item "$shots/menu_english.png" menu_3_eng.png 600 460 "the English exit item"

# 2. The flags.
click_at "$(solid_spot "$graphics/rus.png" 940 10)"
xdotool mousemove 10 700
sleep 0.5
shot russian
expect_item "$shots/menu_russian.png" menu_1.png 500 400 "the Russian start item"
expect_item "$shots/menu_russian.png" menu_3.png 510 460 "the Russian exit item"
changed=$(compare -metric AE -fuzz 6% "$shots/menu_english.png" "$shots/menu_russian.png" null: 2>&1 |
  cut -d' ' -f1)
if [ "${changed%%.*}" -gt 5000 ] 2>/dev/null; then
  result pass "the flag changed $changed pixels"
else
  result fail "the Russian flag changed only $changed pixels"
fi
click_at "$(solid_spot "$graphics/usa.png" 856 10)"
xdotool mousemove 10 700
sleep 0.5
shot english_again
expect_item "$shots/menu_english_again.png" menu_1_eng.png 550 400 "the English start item again"

# 3. The exit item.
click_at "$(solid_spot "$graphics/menu_3_eng.png" 600 460)"
status=running
for _ in $(seq 50); do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    wait "$game_pid"
    status=$?
    game_pid=""
    break
  fi
  sleep 0.1
done
if [ "$status" = 0 ]; then result pass "the exit item ended the game with status 0"; else
  result fail "after the exit item: status $status"
fi

echo "screenshots in $shots"
echo "$failures check(s) failed"
[ "$failures" -eq 0 ]
