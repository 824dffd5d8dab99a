#!/usr/bin/env bash
# Runs a Windows program under Debian's Wine as the tests need it:
#   wine-run.sh [--display] [--desktop WxH] TEMPLATE PROGRAM.exe [ARGS...]
#   wine-run.sh --boot TEMPLATE      makes TEMPLATE, a booted Wine prefix
# Each run gets a prefix of its own, copied from TEMPLATE: the first process
# of a prefix ties all its windows to one X display, so programs running side
# by side must not share one. The program runs on the X display in DISPLAY,
# or with --display on an Xvfb of its own, from cmd with DISPLAY cleared in
# the Windows environment alone, as on Windows (freeglut would take it for a
# display device's name). Its exit status and output are the program's, lines
# ending in LF as on Linux. With --desktop, Wine shows its windows on a
# Windows desktop of that size, frames and all, as a picture wants them.
# Everything the run started ends with it, however it ends, and its prefix is
# removed.
# Sourced, it only defines the functions, for scripts that keep one prefix
# over several programs; its displays are x-session.sh's.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/x-session.sh"

export PATH=/usr/lib/wine:$PATH # Debian's wine64 keeps its loader there
export WINEDEBUG=-all           # Wine's own messages off: the program's output alone
# No Mono or Gecko prompt: Debian ships neither, and nothing here needs them.
# No copies of Start-menu entries in this machine's own desktop menu
# (winemenubuilder): they would outlive the prefixes they point into, and
# the menu builder, reading an installed icon, can keep an uninstall from
# removing it.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

# Runs Wine's own program NAME (cmd.exe, msiexec.exe, ...) by its full path.
# Given a bare name, Wine starts it through start.exe and ShellExecuteEx, a
# process more, which on a busy machine now and then fails with "ShellExecuteEx
# failed: Internal error" before the program is even started.
wine_system() {
  local name=$1
  shift
  wine64 "C:\\windows\\system32\\$name" "$@"
}

wine_fail() {
  echo "wine-run.sh: $*" >&2
  exit 125
}

# Boots a new prefix at $1 (about fifteen seconds); it appears whole or not at
# all. wineboot returns while Wine's services are still setting up the
# prefix's devices (writing C:\windows\inf\input.pnf, for one): the server is
# left to end on its own once they are done (within a minute; past that it is
# ended), or every copy of the template would finish that setup, and
# change its files, while a test runs.
wine_boot() {
  local template=$1 partial
  partial=$(mktemp -d "$template.partial.XXXXXX")
  rmdir "$partial"
  WINEPREFIX=$partial wine_system wineboot.exe -i >/dev/null 2>&1 || wine_fail "wineboot could not make a prefix"
  WINEPREFIX=$partial timeout 60 wineserver -w || true
  wine_server_end "$partial"
  rm -rf "$template"
  mv "$partial" "$template"
}

# A copy of the template at $2: the system DLLs (most of its 700 MB, which
# nothing here writes) as hard links, the registry and the rest as files.
wine_prefix_from() {
  local template=$1 prefix=$2 windows=drive_c/windows
  [[ -f $template/system.reg ]] || wine_fail "no booted prefix at $template (wine-run.sh --boot makes one)"
  mkdir -p "$prefix"
  tar -C "$template" --exclude="./$windows/system32" --exclude="./$windows/winsxs" -cf - . | tar -C "$prefix" -xf -
  cp -al "$template/$windows/system32" "$template/$windows/winsxs" "$prefix/$windows/"
}

# Ends every process of the prefix at $1 and its wineserver, and removes the
# server's folder (in a /tmp/wine-* folder that all prefixes share).
wine_server_end() {
  local prefix=$1 server
  server=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  rm -rf /tmp/wine-*/"$server"
}

wine_prefix_remove() {
  [[ -d $1 ]] || return 0
  wine_server_end "$1"
  rm -rf "$1"
}

# The Windows path of a Unix one: Wine's drive Z: is the Unix root.
wine_path() {
  local path
  path=$(realpath "$1")
  echo "Z:${path//\//\\}"
}

wine_desktop=()

# Runs PROGRAM ARGS from cmd in its own folder, with DISPLAY cleared for
# Windows alone, in the prefix in WINEPREFIX; CRs dropped from its output.
# cmd takes one command line, so paths and arguments must not need quoting.
wine_cmd() {
  local program=$1 name arg
  name=$(basename "$program")
  shift
  for arg in "$name" "$@"; do
    [[ $arg =~ [[:space:]\"\&\|\<\>^%] ]] && wine_fail "cmd cannot be given '$arg' unquoted"
  done
  # In the background, so that a signal to this script is handled at once.
  (cd "$(dirname "$program")" &&
    wine_system "${wine_desktop[@]}" cmd.exe /c set 'DISPLAY=&&' "$name" "$@" 2> >(tr -d '\r' >&2) | tr -d '\r') &
  wait $!
}

wine_main() {
  if [[ ${1:-} == --boot ]]; then
    wine_boot "${2:?usage: wine-run.sh --boot TEMPLATE}"
    return
  fi
  local own_display=false
  [[ ${1:-} == --display ]] && { own_display=true; shift; }
  [[ ${1:-} == --desktop ]] && { wine_desktop=(explorer.exe "/desktop=brelox,${2:?--desktop WxH}"); shift 2; }
  local template=${1:?usage: wine-run.sh [--display] [--desktop WxH] TEMPLATE PROGRAM [ARGS...]}
  local program=${2:?usage: wine-run.sh [--display] [--desktop WxH] TEMPLATE PROGRAM [ARGS...]}
  shift 2
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d)
  # A signal ends the program too (x-session.sh's traps): a test that kills
  # its viewer kills this.
  trap 'wine_prefix_remove "$WINEPREFIX"; xs_cleanup' EXIT
  wine_prefix_from "$template" "$WINEPREFIX"
  if $own_display; then xs_display; fi
  wine_cmd "$(realpath "$program")" "$@"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  wine_main "$@"
fi
