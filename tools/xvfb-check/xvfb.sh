# Sourced by the scripts that need a virtual X server of their own (bash).
#
# start_xvfb <folder> [WxH]: starts an Xvfb (1280 x 1024 unless given) on a display number it
# picks itself, sets and exports DISPLAY and sets xvfb_pid. Xvfb's own choice also sees servers
# this machine's other users run under a /tmp of their own, which a look at /tmp/.X11-unix would
# miss: a check talking to somebody else's server passes or fails by chance. Returns 1, with
# Xvfb's messages, when no server is ready within 10 s. <folder> holds its two small files.
# stop_xvfb: ends it.
# wait_exit <seconds>: waits for the program whose pid is in game_pid to end; sets status to its
#   exit status (and clears game_pid), or to "running" when it has not ended in time.
# find_window <name>: waits up to 10 s for a window whose name matches the regular expression;
#   sets window to its id. Returns 1 when none came.

start_xvfb() {
  local number=$1/xvfb-display log=$1/xvfb.log size=${2:-1280x1024}
  : >"$number"
  # -noreset: a server that resets when its last client leaves turns away the next one for a
  # moment, and a check that starts one program after another would fail by chance.
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$number" >"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    # The number is written once the server takes connections.
    if [ -s "$number" ]; then
      DISPLAY=:$(head -n 1 "$number")
      export DISPLAY
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start: $(tail -n 5 "$log")"
  stop_xvfb
  return 1
}

stop_xvfb() {
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  xvfb_pid=""
}

wait_exit() {
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
    window=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  return 1
}
