#!/usr/bin/env bash
# Runs probe_check under the probe and compares the own-code allocations the
# probe counted with the number the program says it made.
# usage: bench/check-probe.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-probe.sh BUILD_DIR}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

made=$(BRELOX_PROBE_OUT="$out" LD_PRELOAD="$build/bench/libbrelox_probe.so" "$build/bench/brelox_probe_check")
counted=$(sed -n 's/^own_allocs_total=\([0-9]*\).*/\1/p' "$out")
if [[ "$counted" != "$made" ]]; then
  echo "probe check failed: the program made $made allocations of its own, the probe counted ${counted:-none}" >&2
  exit 1
fi
echo "probe check: $counted of $made own-code allocations seen, library allocations kept apart"
