#!/usr/bin/env bash
# scripts/lintian-deb.sh against a stand-in lintian that behaves as the real
# one does: it cannot start in, or read from, a directory it may not enter;
# it ends with the status it is told to. The package lies in a directory only
# its owner may enter, as a checkout under /root does; run as root, the
# stand-in also fails if it was left running as root.
set -euo pipefail
script="$(cd "$(dirname "$0")/.." && pwd)/scripts/lintian-deb.sh"
work=$(mktemp -d -p /tmp brelox-lintian-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work" # the stand-in must be reachable by whoever lintian runs as
mkdir -m 0755 "$work/bin"
mkdir -m 0700 "$work/private"
echo package >"$work/private/brelox_1.0.0_amd64.deb"
cat >"$work/bin/lintian" <<'EOF'
#!/usr/bin/env bash
[[ -r . && -x . ]] || { echo "Can't cd to $PWD: Permission denied" >&2; exit 13; }
[[ -r ${!#} ]] || { echo "${!#} is not a readable file" >&2; exit 1; }
[[ $(id -u) -ne 0 ]] || { echo "running with root privileges is not recommended!" >&2; exit 1; }
[[ -z $FAKE_MESSAGE ]] || echo "$FAKE_MESSAGE" >&2
exit "$FAKE_STATUS"
EOF
chmod 0755 "$work/bin/lintian"
[[ $(id -u) -eq 0 ]] || sed -i '/root privileges/d' "$work/bin/lintian"

failures=0
# name | lintian's status | what it prints on standard error | expected status | expected last line (regex)
while IFS='|' read -r name lintian_status message want_status want_line; do
  status=0
  out=$(cd "$work/private" && PATH="$work/bin:$PATH" FAKE_STATUS=$lintian_status FAKE_MESSAGE=$message \
    "$script" brelox_1.0.0_amd64.deb 2>&1) || status=$?
  last=${out##*$'\n'}
  if [[ $status -ne $want_status || ! $last =~ $want_line ]]; then
    echo "FAIL $name: status $status, last line '$last'; expected $want_status and /$want_line/"
    failures=$((failures + 1))
  fi
done <<'EOF'
clean|0||0|^$
clean with a note|0|a note|0|^a note$
faults found|2||1|^lintian-deb: lintian found errors or warnings in brelox_1\.0\.0_amd64\.deb
lintian fails|13|Can't cd to /x: Permission denied|1|^lintian-deb: lintian could not check .*\(exit status 13\): Can't cd to /x: Permission denied$
lintian fails silently|1||1|\(exit status 1\): it printed no reason$
EOF
[[ $failures -eq 0 ]]
