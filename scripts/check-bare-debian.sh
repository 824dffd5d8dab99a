#!/usr/bin/env bash
# Follows the README on a bare Debian 12 as a newcomer would. Builds a fresh
# `debootstrap --variant=minbase bookworm` root from the mirror this machine's
# apt uses, copies the source tree in (no .git, no build output) and there:
#   1. a user without sudo runs the Quick start test command: one line that
#      names the apt-get command to run as root, and a failure;
#   2. a user with sudo runs the Quick start run command with no display: one
#      line naming what works instead, and a failure;
#   3. that user does what the line says: scripts/screenshot.sh saves a picture;
#   4. that user runs the run command on a virtual display and quits it with
#      Escape: status 0;
#   5. root runs the test command: every test passes;
#   6. root follows the README's Installing section, uninstalling included:
#      each route puts /usr/.../bin/brelox in place and takes it away again.
# The Quick start and Installing commands are read from README.md itself.
# Processes inside the root, mounts and the root itself are torn down on every
# path. Needs root, debootstrap and the Debian mirror.
set -euo pipefail
exec </dev/null

# A mount namespace of its own: whatever happens, no mount made here outlives
# the script or shows outside it.
if [[ -z ${BARE_DEBIAN_NAMESPACE:-} ]]; then
  [[ $(id -u) -eq 0 ]] || { echo "check-bare-debian: needs root (debootstrap, chroot, mount)" >&2; exit 1; }
  BARE_DEBIAN_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$@"
fi

# The newcomer starts with no display; step 4 gets a virtual one.
unset DISPLAY
src="$(cd "$(dirname "$0")/.." && pwd)"
source "$src/scripts/x-session.sh"
work=$(mktemp -d /var/tmp/brelox-bare.XXXXXX)
root="$work/root"
user=newcomer
home="/home/$user"
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
started=$SECONDS

fail() {
  echo "check-bare-debian: $*" >&2
  exit 1
}

step() {
  echo "== $(date -u +%T) (+$((SECONDS - started)) s) $*"
}

in_root_pids() {
  local p
  for p in /proc/[0-9]*; do
    [[ $(readlink "$p/root" 2>/dev/null) == "$root" ]] && echo "${p#/proc/}"
  done
  return 0
}

mounts_under_root() {
  awk -v r="$root" '$5 == r || index($5, r "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

teardown() {
  local status=$? pids _ m
  xs_cleanup
  for _ in 1 2 3; do
    pids=$(in_root_pids)
    [[ -n $pids ]] || break
    # shellcheck disable=SC2086 # one pid per word
    kill $pids 2>/dev/null || true
    sleep 1
  done
  pids=$(in_root_pids)
  # shellcheck disable=SC2086
  [[ -z $pids ]] || kill -KILL $pids 2>/dev/null || true
  for m in $(mounts_under_root); do
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  if [[ -n $(mounts_under_root) ]]; then
    echo "check-bare-debian: mounts remain under $root; left it in place" >&2
    exit 1
  fi
  rm -rf --one-file-system "$work"
  step "torn down; exit status $status"
  exit "$status"
}
trap teardown EXIT

host_mirror() {
  local uri
  uri=$(sed -E 's/\[[^]]*\]//' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' || true)
  [[ -n $uri ]] || uri=$(awk 'BEGIN { RS = "" }
      /(^|\n)Types:[^\n]*deb([ \t]|\n|$)/ && /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t]|\n|$)/ &&
      match($0, /URIs:[ \t]*[^ \t\n]+/) { u = substr($0, RSTART, RLENGTH); sub(/URIs:[ \t]*/, "", u); print u; exit }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

# The fenced sh blocks of a README section, comments and blank lines dropped.
readme_commands() {
  awk -v section="## $1" '$0 == section { s = 1; next } s && /^## / { exit }
    s && /^```sh$/ { c = 1; next } c && /^```$/ { c = 0; next } c' "$src/README.md" |
    sed -E 's/[[:space:]]*#.*$//; /^[[:space:]]*$/d'
}

# in_root WHO: sets IN_ROOT to the command that runs a shell line (its one
# argument) in the source tree inside the root, as root or as the newcomer,
# with a clean environment; DISPLAY passes through once step 4 sets it.
in_root() {
  local as_user=() env=(env -i "PATH=$path" LANG=C.UTF-8)
  if [[ $1 == root ]]; then
    env+=(HOME=/root USER=root)
  else
    as_user=("--userspec=$(chroot "$root" id -u "$user"):$(chroot "$root" id -g "$user")")
    env+=("HOME=$home" "USER=$user")
  fi
  [[ -z ${DISPLAY:-} ]] || env+=("DISPLAY=$DISPLAY")
  IN_ROOT=(chroot "${as_user[@]}" "$root" "${env[@]}" bash -c)
}

# bounded COMMAND...: runs it for at most 20 minutes, in the background so
# that an interrupt ends the wait at once and the trap tears everything down.
bounded() {
  timeout --kill-after=10 1200 "$@" <&0 &
  wait "$!"
}

# as WHO LINE: runs it there and then.
as() {
  in_root "$1"
  bounded "${IN_ROOT[@]}" "cd $home/brelox && $2"
}

# expect_one_line WHO COMMAND PATTERN: the command fails, printing exactly one
# line, which matches PATTERN.
expect_one_line() {
  local out
  if out=$(as "$1" "$2" 2>&1); then
    fail "'$2' as $1 succeeded; expected a one-line refusal"
  fi
  echo "$out"
  [[ $(wc -l <<<"$out") -eq 1 && $out =~ $3 ]] || fail "'$2' as $1: expected one line matching '$3'"
}

mapfile -t quick_start < <(readme_commands "Quick start")
[[ ${#quick_start[@]} -eq 2 ]] || fail "the README's Quick start has ${#quick_start[@]} commands, not 2"
run_command=${quick_start[0]}
test_command=${quick_start[1]}
mapfile -t installing < <(readme_commands Installing)
[[ ${#installing[@]} -gt 0 ]] || fail "no commands in the README's Installing section"

mirror=$(host_mirror)
step "debootstrap --variant=minbase bookworm from $mirror"
bounded debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
# As in Debian's container images: dpkg skips the fsync after each file,
# which costs minutes here and buys nothing for a root thrown away after.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/unsafe-io"
mount -t proc proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount --bind /dev/shm "$root/dev/shm"
mount --bind /etc/resolv.conf "$root/etc/resolv.conf"
printf '127.0.0.1 localhost\n127.0.1.1 %s\n' "$(hostname)" >"$root/etc/hosts"
bare_mb=$(du -sxm "$root" | cut -f1)

chroot "$root" useradd --create-home --shell /bin/bash "$user"
mkdir "$root$home/brelox"
tar -C "$src" --exclude=./.git --exclude='./build*' --exclude=node_modules -cf - . | tar -C "$root$home/brelox" -xf -
chroot "$root" chown -R "$user:" "$home/brelox"

step "1. no root, no sudo: $test_command"
expect_one_line "$user" "$test_command" 'as root, run: apt-get'

# The same user given sudo, on a machine whose package lists are empty, as on
# a fresh container image.
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq sudo >/dev/null
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 0440 "$root/etc/sudoers.d/$user"
find "$root/var/lib/apt/lists" -maxdepth 1 -type f -delete

step "2. no display: $run_command"
expect_one_line "$user" "$run_command" 'scripts/screenshot\.sh'

step "3. the way it names: scripts/screenshot.sh $home/brelox.png"
as "$user" "scripts/screenshot.sh $home/brelox.png"
[[ $(identify -format '%m %wx%h' "$root$home/brelox.png") == "PNG 800x600" ]] || fail "no 800x600 PNG"
base_mb=$(du -sxm "$root" | cut -f1)

step "4. on a virtual display: $run_command, then Escape"
xs_display
in_root "$user"
XS_WAIT=1200 xs_start Brelox "${IN_ROOT[@]}" "cd $home/brelox && $run_command"
status=0
xs_quit || status=$?
[[ $status -eq 0 ]] || fail "the run command ended with status $status after Escape"

step "5. as root: $test_command"
as root "$test_command"
test_mb=$(du -sxm "$root" | cut -f1)
archives_mb=$(du -sm "$root/var/cache/apt/archives" | cut -f1)

step "6. as root: the README's Installing section"
seen_package=false seen_local=false
for line in "${installing[@]}"; do
  echo "\$ $line"
  as root "$line" <<<y # the reader's answer when apt asks to go on
  [[ ! -e $root/usr/bin/brelox ]] || seen_package=true
  [[ ! -e $root/usr/local/bin/brelox ]] || seen_local=true
done
if ! $seen_package || ! $seen_local; then
  fail "the Installing section did not put both /usr/bin/brelox and /usr/local/bin/brelox in place"
fi
leftovers=$(find "$root/usr" -name '*brelox*' -print)
[[ -z $leftovers ]] || fail "left after uninstalling: $leftovers"

step "passed. Disk: bare root ${bare_mb} MB; after the viewer's build packages ${base_mb} MB;" \
  "after the test command ${test_mb} MB; ${archives_mb} MB of packages downloaded in all"
