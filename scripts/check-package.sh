#!/usr/bin/env bash
# Checks a built .deb as Debian would and as a user would: dependencies
# derived from the binary, lintian with no errors or warnings, AppStream
# metadata, desktop entry and icon that agree; then installs it with apt-get,
# starts the installed viewer on a virtual display, quits it with Escape and
# checks it ended with status 0. A package this script installed is removed
# again on the way out.
#
#   scripts/check-package.sh DEB
set -euo pipefail
exec </dev/null
deb=$(realpath "${1:?usage: check-package.sh DEB}")
cd "$(dirname "$0")/.."
source scripts/x-session.sh

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
tree=$(mktemp -d)
installed_here=false
cleanup() {
  xs_cleanup
  rm -rf "$tree"
  if $installed_here; then
    "${as_root[@]}" apt-get remove -y -qq -o DPkg::Lock::Timeout=600 brelox >/dev/null || true
  fi
}
trap cleanup EXIT

fail() {
  echo "check-package: $*" >&2
  exit 1
}

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libglut* ]] || fail "Depends does not name freeglut: '$depends'"
echo "Depends: $depends"

scripts/lintian-deb.sh "$deb"

dpkg-deb -x "$deb" "$tree"
report=$(appstreamcli validate-tree --no-net "$tree" 2>&1) || fail "AppStream metadata invalid: $report"
desktop="$tree/usr/share/applications/brelox.desktop"
desktop-file-validate "$desktop" || fail "desktop entry invalid"
icon=$(sed -n 's/^Icon=//p' "$desktop")
compgen -G "$tree/usr/share/icons/hicolor/*/apps/$icon.*" >/dev/null ||
  fail "no icon '$icon' in the hicolor theme for the desktop entry"

dpkg-query -W -f='${Status}' brelox 2>/dev/null | grep -q "install ok installed" ||
  installed_here=true
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq -o DPkg::Lock::Timeout=600 --reinstall "$deb" >/dev/null

xs_display
xs_start Brelox /usr/bin/brelox
status=0
xs_quit || status=$?
[[ $status -eq 0 ]] || fail "installed viewer exited with status $status"
echo "package: lintian clean; installed /usr/bin/brelox quit with status 0"
