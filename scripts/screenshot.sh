#!/usr/bin/env bash
# Saves a picture of the viewer without any display of your own: runs it on a
# virtual display, turns the view a little towards the sphere so that the
# boxes and the sphere both show, steps back a little so that they fit, and
# saves the window as a PNG. Also takes the README's picture.
#
#   scripts/screenshot.sh [OUTPUT.png [BINARY]]    (default docs/screenshot.png)
#
# Without BINARY it installs what it needs through apt and builds the viewer
# first (make viewer).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
output="$(realpath -m "${1:-$root/docs/screenshot.png}")"
if [[ $# -ge 2 ]]; then
  binary="$(realpath "$2")"
else
  "$root/scripts/install-deps.sh" --screenshot
  make -C "$root" --no-print-directory viewer
  binary="$root/build/default/brelox"
fi
mkdir -p "$(dirname "$output")"

source "$root/scripts/x-session.sh"
xs_display
xs_start Brelox "$binary"

# One degree of turn per pixel dragged: 30 to the right brings the sphere in.
xdotool mousemove 400 400 mousedown 1 mousemove 430 400 mouseup 1
# S held for about 20 ticks: some 4 units back, so the boxes fit beside it.
xdotool windowfocus --sync "$XS_WINDOW" keydown s sleep 0.2 keyup s
sleep 1 # frames to show the turn and move the boxes off their start pose

# No window manager: the window sits at (100, 100) on the screen.
xwd -root -silent | convert xwd:- -crop 800x600+100+100 +repage "$output"
xs_quit
echo "wrote $output"
