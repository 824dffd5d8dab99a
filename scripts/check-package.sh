#!/usr/bin/env bash
# Builds the .deb, installs it with apt-get, starts the installed viewer on a
# virtual display, quits it with Escape and checks it ended with status 0.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [[ -z "${BRELOX_IN_XVFB:-}" ]]; then
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/brelox_*.deb | head -n 1)
  dpkg-deb -f "$deb" Depends
  apt-get install -y -qq "./$deb" >/dev/null
  BRELOX_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$@"
fi

desktop-file-validate /usr/share/applications/brelox.desktop
/usr/bin/brelox &
pid=$!
win=$(timeout 30 xdotool search --sync --name '^Brelox$' | head -n 1)
xdotool windowfocus --sync "$win" key Escape
status=0
timeout 10 tail --pid="$pid" -f /dev/null || { kill "$pid"; echo "installed viewer did not quit"; exit 1; }
wait "$pid" || status=$?
[[ $status -eq 0 ]] || { echo "installed viewer exited with status $status"; exit 1; }
echo "package: installed /usr/bin/brelox quit with status 0"
