#!/usr/bin/env bash
# Runs the viewer under valgrind memcheck on a virtual display for a few
# seconds of frames and input, then quits it with Escape. Fails on any
# memory error or definite leak outside the GL stack's suppressed ones.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/default/brelox}
source scripts/x-session.sh

log=$(mktemp)
trap 'xs_cleanup; rm -f "$log"' EXIT
xs_display
xs_start Brelox valgrind --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
  --keep-debuginfo=yes --suppressions=scripts/valgrind-gl.supp --log-file="$log" "$bin"
xdotool windowfocus --sync "$XS_WINDOW"
xdotool keydown w sleep 1 keyup w keydown Page_Up sleep 0.5 keyup Page_Up
xdotool mousemove --window "$XS_WINDOW" 400 300 mousedown 1 mousemove --window "$XS_WINDOW" 460 280 mouseup 1
xdotool key l sleep 0.5 key l sleep 0.5 key k sleep 0.5
status=0
xs_quit || status=$?
grep -E 'ERROR SUMMARY|definitely lost' "$log" || true
if [[ $status -ne 0 ]]; then
  cat "$log"
  echo "memcheck: viewer exited with status $status"
  exit 1
fi
echo "memcheck: no errors"
