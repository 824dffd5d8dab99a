#!/usr/bin/env bash
# Saves a picture of the viewer without any display of your own: runs it on a
# virtual display, turns the view a little towards the sphere so that the
# boxes and the sphere both show, steps back a little so that they fit, and
# saves the window as a PNG. Also takes the README's pictures. With
# --windows it shows the Windows exe the same way, under Wine on a Windows
# desktop, and saves the window with its frame.
#
#   scripts/screenshot.sh [OUTPUT.png [BINARY]]    (default docs/screenshot.png)
#   scripts/screenshot.sh --windows [OUTPUT.png]   (default docs/windows-screenshot.png)
#
# Without BINARY it installs what it needs through apt and builds the viewer
# first (make viewer, or the windows preset's exe and Wine prefix).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
windows=false
[[ ${1:-} == --windows ]] && { windows=true; shift; }
if $windows; then
  output="$(realpath -m "${1:-$root/docs/windows-screenshot.png}")"
  "$root/scripts/install-deps.sh" --screenshot --windows-test
  (cd "$root" && cmake --preset windows >/dev/null &&
    cmake --build --preset windows -j "$(nproc)" --target brelox wine_prefix >/dev/null)
  program=("$root/windows/wine-run.sh" --desktop 1008x827 "$root/build/windows/wine-prefix"
    "$root/build/windows/brelox.exe")
  # freeglut on Windows puts the frame, 808 x 627 with Wine's, at (100, 100).
  window=808x627+100+100
else
  output="$(realpath -m "${1:-$root/docs/screenshot.png}")"
  if [[ $# -ge 2 ]]; then
    program=("$(realpath "$2")")
  else
    "$root/scripts/install-deps.sh" --screenshot
    make -C "$root" --no-print-directory viewer
    program=("$root/build/default/brelox")
  fi
  # No window manager: the window sits at (100, 100) on the screen.
  window=800x600+100+100
fi
mkdir -p "$(dirname "$output")"

source "$root/scripts/x-session.sh"
xs_display
xs_start Brelox "${program[@]}"

# One degree of turn per pixel dragged: 30 to the right brings the sphere in.
xdotool mousemove 400 400 mousedown 1 mousemove 430 400 mouseup 1
# S held for about 20 ticks: some 4 units back, so the boxes fit beside it.
xdotool windowfocus --sync "$XS_WINDOW" keydown s sleep 0.2 keyup s
sleep 1 # frames to show the turn and move the boxes off their start pose

xwd -root -silent | convert xwd:- -crop "$window" +repage "$output"
xs_quit
echo "wrote $output"
