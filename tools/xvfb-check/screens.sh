# shellcheck shell=bash disable=SC2154  # work and graphics come from the script that sources this
# Sourced by the checks that look at the game's screen (bash). They set `work` (a scratch folder)
# and `graphics` (the game's pictures), and define result (pass|fail, text).

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

expect_item() {  # screenshot, picture, x, y, what
  local n
  n=$(differing_from "$1" "$graphics/$2" "$3" "$4")
  if [ "${n%%.*}" -lt 20 ] 2>/dev/null; then
    result pass "$5 on screen ($n pixels differ)"
  else
    result fail "$5 not on screen: $n pixels differ ($1)"
  fi
}
