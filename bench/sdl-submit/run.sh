#!/usr/bin/env bash
# Runs the picture submission benchmark on a virtual X server of its own and prints its table.
# Usage: bench/sdl-submit/run.sh [build folder [runs]]   (default: build, 15; target sdl_submit_bench)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
[ $# -gt 0 ] && shift
bench=$build/bench/sdl-submit/sdl_submit_bench
[ -x "$bench" ] || { echo "no benchmark at $bench (cmake --build $build --target sdl_submit_bench)"; exit 2; }
command -v Xvfb >/dev/null || { echo "no Xvfb (Debian package xvfb)"; exit 2; }

# shellcheck source=../../tools/xvfb-check/xvfb.sh
source "$root/tools/xvfb-check/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work" || exit 1
"$bench" "$@"
