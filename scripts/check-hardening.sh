#!/usr/bin/env bash
# Checks that a binary carries the hardening of its platform. An ELF binary:
# Debian's set, PIE, full RELRO with BIND_NOW, and the stack protector. A
# Windows exe: ASLR with 64-bit entropy, DEP, and no DLL but Windows' own, so
# that the one file is the whole program.
set -euo pipefail
bin=${1:?usage: check-hardening.sh BINARY}
fail=0
check() { # description, command...
  local what=$1; shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "MISSING: $what"; fail=1; fi
}

if [[ $(head -c 2 "$bin") == MZ ]]; then
  headers=$(x86_64-w64-mingw32-objdump -p "$bin")
  check "ASLR (DYNAMIC_BASE)" grep -q 'DYNAMIC_BASE' <<<"$headers"
  check "64-bit ASLR entropy (HIGH_ENTROPY_VA)" grep -q 'HIGH_ENTROPY_VA' <<<"$headers"
  check "DEP (NX_COMPAT)" grep -q 'NX_COMPAT' <<<"$headers"
  windows_dlls='^(kernel32|user32|gdi32|advapi32|msvcrt|opengl32|glu32|winmm)\.dll$'
  others=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | grep -viE "$windows_dlls" || true)
  check "imports from Windows' own DLLs only${others:+ (not: ${others//$'\n'/ })}" test -z "$others"
  exit $fail
fi

check "position-independent executable" grep -q 'DYN' <(readelf -h "$bin" | grep 'Type:')
check "PIE flag" grep -q 'PIE' <(readelf -d "$bin" | grep 'FLAGS_1')
check "RELRO segment" grep -q 'GNU_RELRO' <(readelf -lW "$bin")
check "immediate binding (BIND_NOW)" grep -q 'BIND_NOW' <(readelf -d "$bin")
check "stack protector" grep -q '__stack_chk_fail' <(readelf --dyn-syms -W "$bin")
exit $fail
