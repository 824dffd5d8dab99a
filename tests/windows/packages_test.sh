#!/usr/bin/env bash
# The Windows packages as people use them, under Wine, in a prefix and on an
# X display of the test's own: the zip unpacked and its exe run from cmd; the
# installer run silently, the viewer started from its Start-menu entry with
# no console window beside it, a newer installer taking the older one's
# place, and the uninstall through its entry under installed apps leaving no
# file, shortcut or entry behind.
#   packages_test.sh TEMPLATE ZIP MSI NEWER_MSI NEWER_VERSION
set -euo pipefail
source "$(dirname "$0")/../../windows/wine-run.sh"
template=$1 zip=$2 msi=$3 newer_msi=$4 newer_version=$5

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix
trap 'wine_prefix_remove "$WINEPREFIX"; [[ -n $wine_xvfb ]] && kill "$wine_xvfb"; rm -rf "$scratch"' EXIT
wine_prefix_from "$template" "$WINEPREFIX"
wine_own_display "$scratch"
drive_c=$WINEPREFIX/drive_c
installed="$drive_c/Program Files/Brelox"

die() {
  echo "FAIL: $*" >&2
  exit 1
}

# Polls for a hang guard's length until the command succeeds.
until_true() {
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

visible_windows() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null || true; }
only_viewer_visible() { [[ $(visible_windows) == Brelox ]]; }
no_viewer() { ! visible_windows | grep -qx Brelox; }

# The viewer's window alone appears (any console window made for it gone),
# and Escape ends it.
viewer_runs() { # how it was started
  until_true only_viewer_visible || die "$1: not the viewer's window alone: $(visible_windows | tr '\n' '|')"
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Brelox$')"
  xdotool key Escape
  until_true no_viewer || die "$1: the viewer did not end on Escape"
}

# What the uninstall entries say of Brelox: one "DisplayName DisplayVersion
# UninstallString" line each.
uninstall_entries() {
  wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk '/^HKEY/ { if (name == "Brelox") print name, version, uninstall; name = version = uninstall = "" }
         $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
         $1 == "UninstallString" { uninstall = $3 " " $4 }
         END { if (name == "Brelox") print name, version, uninstall }'
}

echo "zip: unpacked anywhere, run from cmd"
mkdir "$drive_c/unpacked"
(cd "$drive_c/unpacked" && cmake -E tar xf "$zip")
wine_cmd "$drive_c/unpacked/brelox.exe" &
runner=$!
viewer_runs "the unpacked exe"
wait "$runner" || die "the unpacked exe ended with status $?"
rm -r "$drive_c/unpacked"
find "$drive_c" -type f | sort >"$scratch/before"

echo "installer: silent install"
wine64 msiexec /i "$(wine_path "$msi")" /qn || die "msiexec /i ended with status $?"
for file in brelox.exe README.txt LICENSE.txt licenses/freeglut.txt licenses/mingw-w64-runtime.txt \
  licenses/gcc-runtime.txt; do
  [[ -f $installed/$file ]] || die "not installed: $file"
done
shortcut=$(find "$drive_c" -path '*/Start Menu/Programs/Brelox.lnk')
[[ -n $shortcut ]] || die "no Start-menu entry"
grep -aq 'C:\\Program Files\\Brelox\\brelox.exe' "$shortcut" || die "the Start-menu entry names another program"
[[ $(uninstall_entries | wc -l) == 1 ]] || die "not one uninstall entry: $(uninstall_entries)"

echo "installer: the viewer started from the Start menu"
wine64 start /unix "$shortcut"
viewer_runs "the Start-menu entry"

echo "installer: a newer version replaces the older one"
wine64 msiexec /i "$(wine_path "$newer_msi")" /qn || die "msiexec /i of the newer one ended with status $?"
entries=$(uninstall_entries)
[[ $(wc -l <<<"$entries") == 1 && $entries == "Brelox $newer_version "* ]] || die "after the upgrade: $entries"

echo "installer: uninstalled through its entry"
read -r _ _ uninstall <<<"$entries"
# shellcheck disable=SC2086 # the entry's command line, split as Windows would
wine64 $uninstall /qn || die "$uninstall ended with status $?"
[[ -z $(uninstall_entries) ]] || die "uninstall entry left: $(uninstall_entries)"
find "$drive_c" -type f | sort | comm -13 "$scratch/before" - >"$scratch/left"
[[ ! -s $scratch/left ]] || die "files left: $(cat "$scratch/left")"
[[ ! -e $installed && -z $(find "$drive_c" -name Brelox.lnk) ]] || die "folder or shortcut left"
! wine64 reg query 'HKLM\Software\Brelox' >/dev/null 2>&1 || die "registry key HKLM\\Software\\Brelox left"
echo "ok"
