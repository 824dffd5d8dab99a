# Sourced (bash) by the scripts that run a program on an X display and drive
# it as a user would. Whatever they start here is ended when the script exits,
# on every path: success, failure, or an interrupt.
#
#   xs_display             starts a virtual display of its own and exports DISPLAY
#   xs_start TITLE CMD...  starts CMD and waits until its window titled TITLE is
#                          mapped and viewable; sets XS_PID and XS_WINDOW
#   xs_quit                focuses that window, presses Escape and returns the
#                          program's exit status (1 if it does not end)
#
# XS_WAIT (default 60) bounds the wait for the window in seconds: generous,
# since a program under valgrind takes long to open it.

XS_PIDS=()
XS_PID=""
XS_WINDOW=""

xs_cleanup() {
  local pid
  for pid in "${XS_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${XS_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  XS_PIDS=()
}
trap xs_cleanup EXIT
trap 'exit 130' INT TERM HUP

xs_display() {
  local numberFile
  numberFile=$(mktemp)
  # -displayfd: Xvfb picks a free display and writes its number once it is
  # ready, so scripts running side by side never share one.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" 2>/dev/null &
  XS_PIDS+=("$!")
  local _
  for _ in $(seq 100); do
    [[ -s $numberFile ]] && break
    sleep 0.1
  done
  if [[ ! -s $numberFile ]]; then
    rm -f "$numberFile"
    echo "x-session: the virtual display did not start" >&2
    return 1
  fi
  DISPLAY=":$(head -n 1 "$numberFile")"
  export DISPLAY
  rm -f "$numberFile"
}

xs_start() {
  local title=$1
  shift
  "$@" &
  XS_PID=$!
  XS_PIDS+=("$XS_PID")
  # --onlyvisible: a window found before it is mapped refuses the focus.
  XS_WINDOW=$(timeout "${XS_WAIT:-60}" xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
  if [[ -z $XS_WINDOW ]]; then
    echo "x-session: no viewable window titled '$title' within ${XS_WAIT:-60} s" >&2
    return 1
  fi
}

xs_quit() {
  xdotool windowfocus --sync "$XS_WINDOW" key Escape || return 1
  local _ status=0
  for _ in $(seq 300); do
    kill -0 "$XS_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$XS_PID" 2>/dev/null; then
    echo "x-session: pid $XS_PID still running 30 s after Escape" >&2
    return 1
  fi
  wait "$XS_PID" || status=$?
  return "$status"
}
