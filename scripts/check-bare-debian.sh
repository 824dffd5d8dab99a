#!/usr/bin/env bash
# Follows the README on a bare Debian as a newcomer would, on Debian 12
# (bookworm) and then 13 (trixie), or on the releases named. For each, builds
# a fresh `debootstrap --variant=minbase` root from the mirror this machine's
# apt uses, copies the source tree in twice (no .git, no build output), to the
# newcomer's home and to /root, and there:
#   1. a user without sudo runs the Quick start test command: one line that
#      names the apt-get command to run as root, and a failure;
#   2. a user with sudo runs the Quick start run command with no display: one
#      line naming what works instead, and a failure;
#   3. that user does what the line says: scripts/screenshot.sh saves a picture;
#   4. that user runs the run command on a virtual display and quits it with
#      Escape: status 0;
#   5. root runs the test command in /root/brelox: every test passes, the
#      browser tests included;
#   6. root follows the README's Installing section, uninstalling included:
#      each route puts /usr/.../bin/brelox in place and takes it away again;
#   7. root runs make package there.
# Root runs the test command because Chromium's sandbox cannot start inside
# a chroot (the kernel refuses new user namespaces there), and as root the
# browser tests run it without. The Quick start and Installing commands are
# read from README.md itself. Each release gets a root of its own, in a
# process of its own; processes inside it, mounts and the root itself are
# torn down on every path. Prints the time each step took and the disk and
# download figures. Needs root and the Debian mirror; installs debootstrap.
#
#   scripts/check-bare-debian.sh [RELEASE...]     default: bookworm trixie
set -euo pipefail
exec </dev/null

fail() {
  echo "check-bare-debian: $*" >&2
  exit 1
}

[[ $(id -u) -eq 0 ]] || fail "needs root (debootstrap, chroot, mount)"
[[ -n ${BARE_DEBIAN_NAMESPACE:-} ]] || "$(dirname "$0")/install-deps.sh" --bare
suites=("$@")
[[ ${#suites[@]} -gt 0 ]] || suites=(bookworm trixie)
# One release after the other, each run to its end whatever the one before did.
if [[ ${#suites[@]} -gt 1 ]]; then
  failed=()
  for suite in "${suites[@]}"; do
    "$0" "$suite" || failed+=("$suite")
  done
  [[ ${#failed[@]} -eq 0 ]] || fail "failed on ${failed[*]} (of ${suites[*]})"
  echo "check-bare-debian: passed on ${suites[*]}"
  exit 0
fi
suite=${suites[0]}

# A mount namespace of its own: whatever happens, no mount made here outlives
# the script or shows outside it.
if [[ -z ${BARE_DEBIAN_NAMESPACE:-} ]]; then
  BARE_DEBIAN_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$suite"
fi

# The newcomer starts with no display; step 4 gets a virtual one.
unset DISPLAY
src="$(cd "$(dirname "$0")/.." && pwd)"
source "$src/scripts/x-session.sh"
work=$(mktemp -d "/var/tmp/brelox-bare-$suite.XXXXXX")
root="$work/root"
user=newcomer
home="/home/$user"
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# Where the root trusts the certificate authorities NODE_EXTRA_CA_CERTS names.
node_ca=/usr/local/share/node-extra-ca-certs.pem
started=$SECONDS

# step TITLE: ends the step before (noting its time) and starts the next.
step_title="" step_started=$SECONDS timings=()
step() {
  end_step
  step_title="$*" step_started=$SECONDS
  echo "== $(date -u +%T) $suite (+$((SECONDS - started)) s) $*"
}
end_step() {
  [[ -n $step_title ]] || return 0
  timings+=("$(printf '%6d s  %s' $((SECONDS - step_started)) "$step_title")")
  step_title=""
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
  end_step
  echo "== $suite: time per step, $((SECONDS - started)) s in all"
  printf '%s\n' "${timings[@]}"
  exit "$status"
}
trap teardown EXIT

# The URI this machine's apt fetches Debian 12 or 13 from; the other release
# comes from the same mirror.
host_mirror() {
  local uri
  uri=$(sed -E 's/\[[^]]*\]//' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk '$1 == "deb" && ($3 == "bookworm" || $3 == "trixie") { print $2; exit }' || true)
  [[ -n $uri ]] || uri=$(awk 'BEGIN { RS = "" }
      /(^|\n)Types:[^\n]*deb([ \t]|\n|$)/ && /(^|\n)Suites:[^\n]*[ \t](bookworm|trixie)([ \t]|\n|$)/ &&
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
# argument) inside the root, as root or as the newcomer, with a clean
# environment; DISPLAY passes through once step 4 sets it, and so does
# NODE_EXTRA_CA_CERTS where this machine sets it.
in_root() {
  local as_user=() env=(env -i "PATH=$path" LANG=C.UTF-8)
  if [[ $1 == root ]]; then
    env+=(HOME=/root USER=root)
  else
    as_user=("--userspec=$(chroot "$root" id -u "$user"):$(chroot "$root" id -g "$user")")
    env+=("HOME=$home" "USER=$user")
  fi
  [[ -z ${DISPLAY:-} ]] || env+=("DISPLAY=$DISPLAY")
  [[ ! -e $root$node_ca ]] || env+=("NODE_EXTRA_CA_CERTS=$node_ca")
  IN_ROOT=(chroot "${as_user[@]}" "$root" "${env[@]}" bash -c)
}

# bounded COMMAND...: runs it for at most 40 minutes (the test command
# installs and builds for the browser too), in the background so that an
# interrupt ends the wait at once and the trap tears everything down.
bounded() {
  timeout --kill-after=10 2400 "$@" <&0 &
  wait "$!"
}

# as WHO LINE: runs it there and then, in WHO's copy of the source tree.
as() {
  local tree=$home/brelox
  [[ $1 != root ]] || tree=/root/brelox
  in_root "$1"
  bounded "${IN_ROOT[@]}" "cd $tree && $2"
}

# The root's disk use in MB and its number of installed packages.
disk() {
  echo "$(du -sxm "$root" | cut -f1) MB, $(chroot "$root" dpkg-query -W -f='.\n' | wc -l) packages"
}

# Nothing of the viewer's left under /usr once it is uninstalled.
no_leftovers() {
  local leftovers
  leftovers=$(find "$root/usr" -name '*brelox*' -print)
  [[ -z $leftovers ]] || fail "left after uninstalling ($1): $leftovers"
}

# npm reaches its registry over HTTPS, through whatever authorities this
# machine trusts beyond Debian's: the root's ca-certificates, once the test
# command installs it, takes in those of /usr/local/share/ca-certificates.
trust_host_authorities() {
  local local_cas=/usr/local/share/ca-certificates
  mkdir -p "$root$local_cas"
  if [[ -d $local_cas ]]; then
    cp -r "$local_cas/." "$root$local_cas/"
  fi
  if [[ -n ${NODE_EXTRA_CA_CERTS:-} ]]; then
    [[ -r $NODE_EXTRA_CA_CERTS ]] || fail "NODE_EXTRA_CA_CERTS names $NODE_EXTRA_CA_CERTS, which cannot be read"
    cp "$NODE_EXTRA_CA_CERTS" "$root$node_ca"
  fi
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
step "debootstrap --variant=minbase $suite from $mirror"
bounded debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
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
trust_host_authorities
bare_disk=$(disk)

chroot "$root" useradd --create-home --shell /bin/bash "$user"
for tree in "$home/brelox" /root/brelox; do
  mkdir "$root$tree"
  tar -C "$src" --exclude=./.git --exclude='./build*' --exclude=node_modules -cf - . | tar -C "$root$tree" -xf -
done
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
base_disk=$(disk)

step "4. on a virtual display: $run_command, then Escape"
xs_display
in_root "$user"
XS_WAIT=1200 xs_start Brelox "${IN_ROOT[@]}" "cd $home/brelox && $run_command"
status=0
xs_quit || status=$?
[[ $status -eq 0 ]] || fail "the run command ended with status $status after Escape"

step "5. as root, in /root/brelox: $test_command"
as root "$test_command"
test_disk=$(disk)

step "6. as root, in /root/brelox: the README's Installing section"
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
no_leftovers "the Installing section"

step "7. as root, in /root/brelox: make package"
as root "make package"
no_leftovers "make package"
archives_mb=$(du -sm "$root/var/cache/apt/archives" | cut -f1)

step "passed on $suite. Disk: bare root $bare_disk; after the viewer's build packages $base_disk;" \
  "after the test command $test_disk; after make package $(disk); ${archives_mb} MB of packages downloaded in all"
