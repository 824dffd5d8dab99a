#!/usr/bin/env bash
# Succeeds when there is an X display to open the viewer on; otherwise says,
# in one line, what works instead.
set -euo pipefail
[[ -n ${DISPLAY:-} ]] && exit 0
echo "brelox needs an X display and DISPLAY is not set: run it from a desktop session (X11, or Wayland through XWayland), or save a picture of it from a virtual display with scripts/screenshot.sh FILE.png" >&2
exit 1
