#!/usr/bin/env bash
# Takes the README's picture: runs an already built viewer on a virtual
# display of its own, turns the view a little towards the sphere so that the
# boxes and the sphere both show, steps back a little so that they fit, and saves the window as a PNG.
#
#   scripts/screenshot.sh [BINARY [OUTPUT]]    (default build/default/brelox, docs/screenshot.png)
#
# Needs xvfb, xdotool, x11-apps (xwd) and imagemagick (convert).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
binary="$(realpath "${1:-$root/build/default/brelox}")"
output="$(realpath -m "${2:-$root/docs/screenshot.png}")"
[[ -x "$binary" ]] || { echo "no viewer at $binary: build it first" >&2; exit 1; }
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
