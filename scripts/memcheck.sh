#!/usr/bin/env bash
# Runs the viewer under valgrind memcheck on a virtual display for a few
# seconds of frames and input, then quits it with Escape. Fails on any
# memory error or definite leak outside the GL stack's suppressed ones.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/default/brelox}

if [[ -z "${BRELOX_IN_XVFB:-}" ]]; then
  BRELOX_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi

log=$(mktemp)
valgrind --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite --keep-debuginfo=yes \
  --suppressions=scripts/valgrind-gl.supp --log-file="$log" "$bin" &
pid=$!
win=$(timeout 120 xdotool search --sync --name '^Brelox$' | head -n 1)
xdotool windowfocus --sync "$win"
xdotool keydown w sleep 1 keyup w keydown Page_Up sleep 0.5 keyup Page_Up
xdotool mousemove --window "$win" 400 300 mousedown 1 mousemove --window "$win" 460 280 mouseup 1
xdotool key l sleep 0.5 key l sleep 0.5 key k sleep 0.5 key Escape
status=0
wait "$pid" || status=$?
grep -E 'ERROR SUMMARY|definitely lost' "$log" || true
if [[ $status -ne 0 ]]; then
  cat "$log"
  echo "memcheck: viewer exited with status $status"
  exit 1
fi
echo "memcheck: no errors"
