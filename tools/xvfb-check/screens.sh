# shellcheck shell=bash disable=SC2154  # work and graphics come from the script that sources this
# Sourced by the scripts that look at a virtual X server's screen (bash; ImageMagick).
#
# lit_share <picture>: the share of its pixels that are lit (any channel above 8%), 0 to 1.
# differing <a> <b> <fuzz>: how many pixels of two pictures of one size differ by more than
#   fuzz, as a whole number (compare may write large ones as 1.2e+06).
# steady_screen <file> <scratch folder>: takes screenshots of the whole screen until two in a
#   row are the same and mostly lit (a picture standing still, such as the menu), for up to
#   15 s; the last one is left in <file>. Returns 1 when none came.
# wait_for <seconds> <file> <test...>: takes screenshots of the whole screen into <file> until
#   `test... <file>` succeeds, for up to <seconds> (at least one look). Returns 1 when it never
#   did: a check waits on what the screen shows, however slowly a busy machine shows it.
# expect_shown <file> <what> <test...>: wait_for up to 30 s, and the result (pass|fail, text)
#   says whether <what> came; returns 1 when it did not.
# differing_from, shows, expect_item, shows_prompt: for checks that set `work` (a scratch
#   folder) and `graphics` (the game's pictures), and define result; see below.

lit_share() {
  convert "$1" -colorspace Gray -threshold 8% -format '%[fx:mean]' info:
}

differing() {
  compare -metric AE -fuzz "$3" "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'
}

steady_screen() {
  import -window root "$1"
  for _ in $(seq 30); do
    sleep 0.5
    cp "$1" "$2/before.png"
    import -window root "$1"
    [ "$(differing "$2/before.png" "$1" 0)" = 0 ] &&
      awk -v s="$(lit_share "$1")" 'BEGIN { exit !(s > 0.5) }' && return 0
  done
  return 1
}

wait_for() {
  local deadline=$((SECONDS + $1)) file=$2
  shift 2
  while :; do
    import -window root -depth 8 "$file"
    "$@" "$file" && return 0
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

expect_shown() {
  local file=$1 what=$2
  shift 2
  if wait_for 30 "$file" "$@"; then
    result pass "$what"
    return 0
  fi
  result fail "$what: not on screen within 30 s ($file)"
  return 1
}

# How many of the solid pixels of a picture drawn at (x, y) differ on the screenshot from the
# picture itself (its see-through edges blend with what is under them and are left out): none
# when the picture is on screen there.
differing_from() {  # screenshot, picture, x, y
  local size
  size=$(convert "$2" -format '%wx%h' info:)
  convert "$2" -alpha extract -threshold 99% "$work/solid.png"
  convert "$1" -crop "$size+$3+$4" +repage "$work/solid.png" -compose Multiply -composite \
    "$work/shown.png"
  convert "$2" -alpha off "$work/solid.png" -compose Multiply -composite "$work/expected.png"
  compare -metric AE -fuzz 6% "$work/shown.png" "$work/expected.png" null: 2>&1 | cut -d' ' -f1
}

# Whether a picture drawn at (x, y) is on the screenshot: fewer than `allowed` of its solid pixels
# differ (what is drawn over it among them). Screenshot last, for wait_for.
shows() {  # picture, x, y, allowed, screenshot
  local n
  n=$(differing_from "$5" "$graphics/$1" "$2" "$3")
  [ "${n%%.*}" -lt "$4" ] 2>/dev/null
}

expect_item() {  # screenshot, picture, x, y, what
  local n
  n=$(differing_from "$1" "$graphics/$2" "$3" "$4")
  if [ "${n%%.*}" -lt 20 ] 2>/dev/null; then
    result pass "$5 on screen ($n pixels differ)"
  else
    result fail "$5 not on screen: $n pixels differ ($1)"
  fi
}

# Whether a full-screen picture is on screen with the prompt under it, white letters on its dark
# bottom strip: drawn once the picture has faded in, when a key is taken.
shows_prompt() {  # picture, screenshot
  local n letters
  n=$(compare -metric AE -fuzz 6% "$2" "$graphics/$1" null: 2>&1 | cut -d' ' -f1)
  letters=$(convert "$2" -crop 800x40+200+695 +repage -colorspace Gray -threshold 80% \
    -format '%[fx:round(mean * w * h)]' info:)
  [ "${n%%.*}" -lt 20000 ] 2>/dev/null && [ "$letters" -gt 300 ] 2>/dev/null
}
