#!/usr/bin/env bash
# Builds the .deb, installs it with apt-get, starts the installed viewer on a
# virtual display, quits it with Escape and checks it ended with status 0.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
source scripts/x-session.sh

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/brelox_*.deb | head -n 1)
dpkg-deb -f "$deb" Depends
apt-get install -y -qq "./$deb" >/dev/null
desktop-file-validate /usr/share/applications/brelox.desktop

xs_display
xs_start Brelox /usr/bin/brelox
status=0
xs_quit || status=$?
[[ $status -eq 0 ]] || { echo "installed viewer exited with status $status"; exit 1; }
echo "package: installed /usr/bin/brelox quit with status 0"
