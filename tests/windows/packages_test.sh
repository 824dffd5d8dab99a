#!/usr/bin/env bash
# The Windows packages under Wine, on an X display of the test's own: the zip
# unpacked and run; the installer run silently into a fresh prefix, the viewer
# started from its Start-menu entry with no console window beside it, a newer
# installer in the older one's place, and the uninstall through its entry
# leaving no file, shortcut or entry.
#   packages_test.sh TEMPLATE ZIP MSI NEWER_MSI NEWER_VERSION
set -euo pipefail
launcher=$(dirname "$0")/../../windows/wine-run.sh
source "$launcher"
template=$1 zip=$2 msi=$3 newer_msi=$4 newer_version=$5
export WINEPREFIX
WINEPREFIX=$(mktemp -d)
trap 'wine_prefix_remove "$WINEPREFIX"; rm -rf "$WINEPREFIX".*; xs_cleanup' EXIT
wine_prefix_from "$template" "$WINEPREFIX"
# Where Wine would mirror Start-menu entries into a Linux desktop menu.
export XDG_DATA_HOME=$WINEPREFIX.xdg/data XDG_CONFIG_HOME=$WINEPREFIX.xdg/config
xs_display
drive_c=$WINEPREFIX/drive_c
die() { echo "FAIL: $*" >&2 && exit 1; }
windows() { xdotool search --onlyvisible --name "${1:-.}" getwindowname %@ 2>/dev/null || true; }

# The viewer's window shows alone (a console made for it gone, within a hang
# guard), and Escape ends it. A click first, as a user's would, makes it
# Wine's active window: Wine's console window, shown late on a busy machine,
# can take that from it, and the keyboard's input with it. A busy Wine can
# also lose the first click and key while the window comes up, X focus on it
# and all (one run in twenty, three of these side by side on two cores): as a
# user would, the test clicks and presses again every two seconds.
runs_alone() { # how it was started
  local window="" try
  for try in $(seq 300); do
    [[ $(windows) == Brelox ]] && window=$(xdotool search --onlyvisible --name '^Brelox$' 2>/dev/null) && break
    sleep 0.1
  done
  [[ -n $window ]] || die "$1: not the viewer's window alone: $(windows)"
  for try in $(seq 0 299); do
    ((try % 20)) || xdotool mousemove --window "$window" 400 300 click 1 windowfocus --sync "$window" key Escape ||
      true # the window may have just gone
    [[ -z $(windows '^Brelox$') ]] && return 0
    sleep 0.1
  done
  die "$1: the viewer did not end on Escape"
}

# The uninstall entries of Brelox, one "DisplayVersion UninstallString" line each.
entries() {
  wine_system reg.exe query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk '/^HKEY/ { if (name == "Brelox") print version, uninstall; name = "" }
         $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" { version = $3 }
         $1 == "UninstallString" { uninstall = $3 " " $4 } END { if (name == "Brelox") print version, uninstall }'
}

mkdir "$WINEPREFIX.zip" && (cd "$WINEPREFIX.zip" && cmake -E tar xf "$zip")
"$launcher" "$template" "$WINEPREFIX.zip/brelox.exe" &
runs_alone "the unpacked exe"
wait $! || die "the unpacked exe ended with status $?"

find "$drive_c" -type f | sort >"$WINEPREFIX.files"
wine_system msiexec.exe /i "$(wine_path "$msi")" /qn || die "msiexec /i ended with status $?"
for file in brelox.exe README.txt LICENSE.txt licenses/{freeglut,mingw-w64-runtime,gcc-runtime}.txt; do
  [[ -f "$drive_c/Program Files/Brelox/$file" ]] || die "not installed: $file"
done
shortcut=$(find "$drive_c" -path '*/Start Menu/Programs/Brelox.lnk')
grep -aq 'C:\\Program Files\\Brelox\\brelox.exe' "$shortcut" || die "no Start-menu entry for the viewer"
wine_system start.exe /unix "$shortcut"
runs_alone "the Start-menu entry"

wine_system msiexec.exe /i "$(wine_path "$newer_msi")" /qn || die "msiexec /i of the newer one ended with status $?"
read -r version uninstall < <(entries)
[[ $(entries | wc -l) == 1 && $version == "$newer_version" ]] || die "after the upgrade: $(entries)"
# shellcheck disable=SC2086 # the entry's command line, split as Windows would
wine_system $uninstall /qn || die "$uninstall ended with status $?"
left=$(find "$drive_c" -type f | sort | comm -13 "$WINEPREFIX.files" -)
[[ -z $(entries)$left$(find "$drive_c" -iname '*brelox*') ]] || die "left: $(entries) $left"
! wine_system reg.exe query 'HKLM\Software\Brelox' >/dev/null 2>&1 || die "registry key HKLM\\Software\\Brelox left"
[[ ! -e $WINEPREFIX.xdg ]] || die "written to the Linux desktop menu: $(find "$WINEPREFIX.xdg" -type f)"
