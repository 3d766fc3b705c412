#!/bin/bash
# Drives input_check under a virtual X server with xdotool and checks what it reports.
# Usage: run.sh <path to input_check>. Needs Xvfb and xdotool. Exit status 0 when every
# expected line was printed; the whole report is printed either way.
set -u
exe=${1:?usage: run.sh path/to/input_check}
display=:$((90 + RANDOM % 100))
out=$(mktemp)
app=
trap 'kill $app "$xvfb" 2>/dev/null; rm -f "$out"' EXIT

# A screen larger than the window, so window and screen coordinates differ.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$exe" 20 >"$out" 2>&1 &
app=$!
for _ in $(seq 100); do grep -q '^ready' "$out" && break; sleep 0.1; done
if ! grep -q '^ready' "$out"; then
  cat "$out"
  echo "input_check did not open its window"
  exit 1
fi

window=$(timeout 10 xdotool search --sync --name Hedgerow | head -n 1)
if [ -z "$window" ]; then
  echo "no Hedgerow window on $display"
  exit 1
fi
xdotool windowfocus --sync "$window"
for key in Shift_L a Return Left; do
  xdotool key "$key"
  sleep 0.2
done
xdotool mousemove --window "$window" 100 200
sleep 0.2
# Held across a few frames: the game reads the button as held, not as counted presses.
xdotool mousedown 1
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool key Escape
wait "$app"
app=

cat "$out"
status=0
for line in "key 160" "key 65" "key 13" "key 37" "mouse 100 200" "button 1" "key 27"; do
  if ! grep -qx "$line" "$out"; then
    echo "missing: $line"
    status=1
  fi
done
exit $status
