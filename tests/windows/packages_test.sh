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

die() {
  echo "FAIL: $*" >&2
  exit 1
}
windows() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null || true; }

# Its window alone appears (a console window made for it gone), and Escape
# ends it; polled for a hang guard's length.
viewer_runs() { # how it was started
  local _
  for _ in $(seq 300); do [[ $(windows) == Brelox ]] && break || sleep 0.1; done
  [[ $(windows) == Brelox ]] || die "$1: not the viewer's window alone: $(windows | tr '\n' '|')"
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Brelox$')" && xdotool key Escape
  for _ in $(seq 300); do windows | grep -qx Brelox && sleep 0.1 || return 0; done
  die "$1: the viewer did not end on Escape"
}

# The uninstall entries of Brelox, one "DisplayVersion UninstallString" line each.
entries() {
  wine64 reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk '/^HKEY/ { if (name == "Brelox") print version, uninstall; name = "" }
         $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
         $1 == "UninstallString" { uninstall = $3 " " $4 } END { if (name == "Brelox") print version, uninstall }'
}

echo "zip: unpacked and run from cmd"
mkdir "$drive_c/unpacked" && (cd "$drive_c/unpacked" && cmake -E tar xf "$zip")
wine_cmd "$drive_c/unpacked/brelox.exe" &
viewer_runs "the unpacked exe"
wait $! || die "the unpacked exe ended with status $?"
rm -r "$drive_c/unpacked"
find "$drive_c" -type f | sort >"$scratch/before"

echo "installer: installed silently and started from the Start menu"
wine64 msiexec /i "$(wine_path "$msi")" /qn || die "msiexec /i ended with status $?"
for file in brelox.exe README.txt LICENSE.txt licenses/{freeglut,mingw-w64-runtime,gcc-runtime}.txt; do
  [[ -f "$drive_c/Program Files/Brelox/$file" ]] || die "not installed: $file"
done
shortcut=$(find "$drive_c" -path '*/Start Menu/Programs/Brelox.lnk')
grep -aq 'C:\\Program Files\\Brelox\\brelox.exe' "$shortcut" || die "no Start-menu entry for the viewer"
wine64 start /unix "$shortcut"
viewer_runs "the Start-menu entry"

echo "installer: a newer version in its place, then uninstalled through its entry"
wine64 msiexec /i "$(wine_path "$newer_msi")" /qn || die "msiexec /i of the newer one ended with status $?"
read -r version uninstall < <(entries)
[[ $(entries | wc -l) == 1 && $version == "$newer_version" ]] || die "after the upgrade: $(entries)"
# shellcheck disable=SC2086 # the entry's command line, split as Windows would
wine64 $uninstall /qn || die "$uninstall ended with status $?"
[[ -z $(entries) ]] || die "uninstall entry left: $(entries)"
left=$(find "$drive_c" -type f | sort | comm -13 "$scratch/before" -)
[[ -z $left && -z $(find "$drive_c" -iname '*brelox*') ]] || die "left: $left $(find "$drive_c" -iname '*brelox*')"
! wine64 reg query 'HKLM\Software\Brelox' >/dev/null 2>&1 || die "registry key HKLM\\Software\\Brelox left"
echo "ok"
