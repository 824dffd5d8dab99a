#!/usr/bin/env bash
# Checks that an ELF binary carries the Debian hardening set:
# PIE, full RELRO with BIND_NOW, and the stack protector.
set -euo pipefail
bin=${1:?usage: check-hardening.sh BINARY}
fail=0
check() { # description, command...
  local what=$1; shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "MISSING: $what"; fail=1; fi
}
check "position-independent executable" grep -q 'DYN' <(readelf -h "$bin" | grep 'Type:')
check "PIE flag" grep -q 'PIE' <(readelf -d "$bin" | grep 'FLAGS_1')
check "RELRO segment" grep -q 'GNU_RELRO' <(readelf -lW "$bin")
check "immediate binding (BIND_NOW)" grep -q 'BIND_NOW' <(readelf -d "$bin")
check "stack protector" grep -q '__stack_chk_fail' <(readelf --dyn-syms -W "$bin")
exit $fail
