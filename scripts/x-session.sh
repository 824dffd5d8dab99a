# shellcheck shell=bash
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
# since a program under valgrind takes long to open it. The wait ends at once
# if the program exits first.
#
# The EXIT trap is set here; a script that needs one of its own calls
# xs_cleanup from it.

XS_PIDS=()
XS_PID=""
XS_WINDOW=""

# Each program runs as the leader of a process group of its own (setsid), so
# that ending the group also ends whatever a wrapper script started. Programs
# end before the display they draw on; a group still there 5 s after SIGTERM
# gets SIGKILL.
xs_cleanup() {
  local i pid _
  for ((i = ${#XS_PIDS[@]} - 1; i >= 0; i--)); do
    kill -- "-${XS_PIDS[i]}" 2>/dev/null || true
  done
  for pid in "${XS_PIDS[@]}"; do
    for _ in $(seq 50); do
      kill -0 -- "-$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
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
  # -noreset: programs come and go, and a server that resets when its last
  # client leaves refuses whoever connects meanwhile.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numberFile" 2>/dev/null &
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
  local title=$1 _
  shift
  setsid "$@" </dev/null &
  XS_PID=$!
  XS_PIDS+=("$XS_PID")
  XS_WINDOW=""
  for _ in $(seq $((${XS_WAIT:-60} * 5))); do
    # --onlyvisible: a window found before it is mapped refuses the focus.
    XS_WINDOW=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    [[ -n $XS_WINDOW ]] && return 0
    if ! kill -0 "$XS_PID" 2>/dev/null; then
      local status=0
      wait "$XS_PID" || status=$?
      echo "x-session: '$*' exited with status $status before its window '$title' showed" >&2
      return 1
    fi
    sleep 0.2
  done
  echo "x-session: no viewable window titled '$title' within ${XS_WAIT:-60} s" >&2
  return 1
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
