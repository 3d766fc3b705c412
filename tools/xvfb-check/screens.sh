# Sourced by the scripts that look at a virtual X server's screen (bash; ImageMagick).
#
# lit_share <picture>: the share of its pixels that are lit (any channel above 8%), 0 to 1.
# differing <a> <b> <fuzz>: how many pixels of two pictures of one size differ by more than
#   fuzz, as a whole number (compare may write large ones as 1.2e+06).
# steady_screen <file> <scratch folder>: takes screenshots of the whole screen until two in a
#   row are the same and mostly lit (a picture standing still, such as the menu), for up to
#   15 s; the last one is left in <file>. Returns 1 when none came.

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
