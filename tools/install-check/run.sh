#!/usr/bin/env bash
# Installs the game into a temporary prefix and checks it as a Linux desktop and its users see it:
#   - the tree: bin/hedgerow, the game's files under share/hedgerow (the same as the build's game
#     folder), the desktop entry, the metainfo, the icons (scalable, and PNGs of 16 to 256 px at
#     their sizes) and the manual page, and nothing else; DESTDIR puts the same tree under it;
#   - desktop-file-validate and appstreamcli validate --no-net accept the entry and the metainfo,
#     and man renders the manual page without a warning;
#   - the installed game, with the whole tree made read-only, started under Xvfb from another
#     working directory by a throwaway user who owns none of it (as root; as anyone else it runs
#     as that user), shows its menu, starts a game and plays, and ends with status 0 on SIGTERM.
# Needs cmake, desktop-file-validate (desktop-file-utils), appstreamcli (appstream), man
# (man-db), Xvfb, xdotool, ImageMagick (import, convert, compare, identify), and the build with
# its data.
# Usage: tools/install-check/run.sh [build folder]   (default: build)
# Exit status: 0 when every check passed, 1 when any failed, 2 when the checks could not run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" 2>/dev/null && pwd) || { echo "no build folder ${1:-$root/build}"; exit 2; }
id=io.github.hedgerow.Hedgerow
work=$(mktemp -d)
prefix=$work/prefix
failures=0
game_pid=""
user=""

# shellcheck source=../xvfb-check/xvfb.sh
source "$root/tools/xvfb-check/xvfb.sh"
# shellcheck source=../xvfb-check/screens.sh
source "$root/tools/xvfb-check/screens.sh"

# Every install writes the build's list of installed files, which a player's uninstall reads:
# the player's own list is put back afterwards.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp "$manifest" "$work/manifest.saved"
restore_manifest() {
  if [ -f "$work/manifest.saved" ]; then cp "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
}

cleanup() {
  restore_manifest
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  stop_xvfb
  [ -n "$user" ] && userdel "$user" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cannot_run() {
  echo "install-check cannot run: $1"
  exit 2
}

result() {  # pass|fail, text
  echo "$1: $2"
  [ "$1" = fail ] && failures=$((failures + 1))
}

missing=()
for tool in cmake:cmake desktop-file-validate:desktop-file-utils appstreamcli:appstream \
  man:man-db Xvfb:xvfb xdotool:xdotool import:imagemagick compare:imagemagick \
  identify:imagemagick convert:imagemagick setpriv:util-linux; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool%%:*} (Debian package ${tool#*:})")
done
[ ${#missing[@]} -eq 0 ] || cannot_run "missing ${missing[*]}"
[ -d "$build/game/data/level" ] ||
  cannot_run "no game data in $build/game (configure with -DHEDGEROW_DATA=ON and build)"

# 1. The installed tree.
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  cannot_run "cmake --install failed: $(tail -n 5 "$work/install.log")"
expected=(bin/hedgerow share/hedgerow/LICENSE share/hedgerow/LICENSE-assets
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg" share/man/man6/hedgerow.6)
for size in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
# The game's own files are checked against the build's game folder below.
found=$(cd "$prefix" && find . -type f -not -path './share/hedgerow/data/*' \
  -not -path './share/hedgerow/fonts/*' | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$found" = "$wanted" ]; then
  result pass "the tree holds the program, the desktop's files and the game's files, nothing else"
else
  result fail "the tree differs from what was expected: $(diff <(echo "$wanted") <(echo "$found") | grep '^[<>]' | tr '\n' ' ')"
fi
if diff -r "$build/game/data" "$prefix/share/hedgerow/data" >/dev/null &&
  diff -r "$build/game/fonts" "$prefix/share/hedgerow/fonts" >/dev/null; then
  result pass "share/hedgerow holds the game folder's data and fonts: $(find "$prefix/share/hedgerow" -type f | wc -l) files"
else
  result fail "share/hedgerow differs from $build/game: $(diff -rq "$build/game/data" "$prefix/share/hedgerow/data" | head -n 3)"
fi
wrong_sizes=""
for size in 16 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" 2>/dev/null)
  [ "$got" = "${size}x$size" ] || wrong_sizes+=" ${size}px:${got:-unreadable}"
done
if [ -z "$wrong_sizes" ]; then result pass "each icon is its size"; else
  result fail "icons of the wrong size:$wrong_sizes"
fi
DESTDIR=$work/staging cmake --install "$build" --prefix /usr/local >"$work/destdir.log" 2>&1
staged=$(cd "$work/staging/usr/local" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
if [ "$staged" = "$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)" ] &&
  [ "$(ls "$work/staging")" = usr ]; then
  result pass "DESTDIR=... --prefix /usr/local puts the same tree under DESTDIR/usr/local only"
else
  result fail "DESTDIR install differs: $(ls -R "$work/staging" | head -n 5 | tr '\n' ' ')"
fi
rm -rf "$work/staging"

# 2. The validators and the manual page.
if out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1) && [ -z "$out" ]; then
  result pass "desktop-file-validate: no complaint"
else
  result fail "desktop-file-validate: $out"
fi
if out=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1); then
  result pass "appstreamcli validate --no-net: $(echo "$out" | tail -n 1)"
else
  result fail "appstreamcli validate --no-net: $out"
fi
out=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/hedgerow.6" 2>&1 >"$work/man.txt")
if [ -z "$out" ] && grep -q "EXIT STATUS" "$work/man.txt"; then
  result pass "man -l renders the manual page without a warning ($(wc -l <"$work/man.txt") lines)"
else
  result fail "man -l: ${out:-no EXIT STATUS section}"
fi

# 3. The installed game, read-only, from elsewhere, by somebody who owns none of it.
chmod 755 "$work"
chmod -R a-w "$prefix"
mkdir "$work/elsewhere"
chmod 555 "$work/elsewhere"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
  user=hedgerow-check-$$
  if useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
    "$user" 2>"$work/useradd.err"; then
    as_player=(setpriv --reuid="$user" --regid="$user" --clear-groups)
  else
    user=""
    result fail "no throwaway user: $(cat "$work/useradd.err")"
  fi
else
  echo "not root: the game runs as $(id -un), not as a user who owns none of the install"
fi

start_xvfb "$work" || cannot_run "no virtual X server"
# The menu fills 1280 x 960 of the screen from row 32: a back-buffer point on the screen.
screen_at() {  # x y
  echo "$(($1 * 5 / 4)) $(($2 * 5 / 4 + 32))"
}
(cd "$work/elsewhere" && exec env -i DISPLAY="$DISPLAY" HOME=/nonexistent PATH=/usr/bin:/bin \
  "${as_player[@]}" "$prefix/bin/hedgerow") 2>"$work/game.err" &
game_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Hedgerow$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  result fail "the installed game showed no window: $(cat "$work/game.err")"
else
  if steady_screen "$work/menu.png" "$work"; then
    result pass "the installed game shows its menu ($(awk -v s="$(lit_share "$work/menu.png")" 'BEGIN { printf "%.0f", 100 * s }')% of the screen lit)"
  else
    result fail "the installed game's menu did not come: $(cat "$work/game.err")"
  fi
  # The start item of the English menu, then a key for the story and one for the tutorial.
  xdotool mousemove $(screen_at 640 420)
  sleep 0.3
  xdotool mousedown 1  # the menu reads the button as held, once a frame
  sleep 0.3
  xdotool mouseup 1
  sleep 2
  xdotool key space
  sleep 2
  xdotool key space
  sleep 2
  import -window root "$work/play1.png"
  xdotool keydown Right
  sleep 1
  xdotool keyup Right
  import -window root "$work/play2.png"
  moved=$(differing "$work/play1.png" "$work/play2.png" 4%)
  if ! kill -0 "$game_pid" 2>/dev/null; then
    result fail "the installed game ended in play: $(cat "$work/game.err")"
  elif [ "$moved" -gt 10000 ] && [ "$(differing "$work/menu.png" "$work/play1.png" 4%)" -gt 10000 ]; then
    result pass "the installed game plays: the first level moves ($moved pixels changed in a second)"
  else
    result fail "the installed game does not seem to play: $moved pixels changed"
    mkdir -p "$build/install-check" && cp "$work"/*.png "$build/install-check/"
  fi
  kill -TERM "$game_pid"
  status=running
  for _ in $(seq 50); do
    kill -0 "$game_pid" 2>/dev/null || { wait "$game_pid"; status=$?; game_pid=""; break; }
    sleep 0.1
  done
  if [ "$status" = 0 ]; then result pass "SIGTERM: status 0"; else result fail "SIGTERM: status $status"; fi
  if grep -q "cannot load\|missing" "$work/game.err"; then
    result fail "the installed game missed files: $(grep "cannot load\|missing" "$work/game.err" | head -n 3)"
  else
    result pass "the installed game loaded every file${user:+, as $user,} from $work/elsewhere"
  fi
fi

if [ "$failures" -eq 0 ]; then
  echo "install-check: every check passed"
  exit 0
fi
echo "install-check: $failures check(s) failed"
exit 1
