#!/usr/bin/env bash
# Runs lintian --pedantic on a .deb and fails when it reports an error or a
# warning. lintian unpacks and parses the package, which it advises against
# doing as root, so root runs it as nobody. nobody is given a copy of the
# package in a directory of its own under /tmp, and starts there: the
# package may lie where nobody cannot go (a checkout under /root, say).
# A failure says in one line whether lintian found faults in the package or
# could not check it at all.
#
#   scripts/lintian-deb.sh DEB
set -euo pipefail
exec </dev/null
deb=$(realpath "${1:?usage: lintian-deb.sh DEB}")
name=${deb##*/}

fail() {
  echo "lintian-deb: $*" >&2
  exit 1
}

command -v lintian >/dev/null || fail "lintian is not installed: apt-get install lintian"

# Under /tmp, whatever TMPDIR says: nobody has to reach the copy.
dir=$(mktemp -d -p /tmp brelox-lintian.XXXXXX)
trap 'rm -rf "$dir"' EXIT
cp "$deb" "$dir/$name"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
  chown -R nobody:nogroup "$dir"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env "HOME=$dir")
fi

# lintian's exit status: 0 when it found nothing --fail-on names, 2 when it
# did; anything else is its own failure (1, or the errno of a file it could
# not use) or one of starting it. Its findings go to standard output, its
# own errors to standard error, kept here to name the cause.
status=0
{ errors=$(cd "$dir" && "${as_user[@]}" lintian --pedantic --display-info --fail-on error,warning "$name" 2>&1 >&3); } 3>&1 ||
  status=$?
[[ -z $errors ]] || echo "$errors" >&2
case $status in
  0) ;;
  2) fail "lintian found errors or warnings in $name (listed above)" ;;
  *) errors=${errors##*$'\n'}
     fail "lintian could not check $name (exit status $status): ${errors:-it printed no reason}" ;;
esac
