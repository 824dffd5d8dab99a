#!/usr/bin/env bash
# Measures the viewer against the floor program (same window and clock, a
# frame that only clears and swaps) on the current X display; `make bench`
# runs it under a virtual one. Both run with the probe preloaded, which counts
# frames, ticks and allocations and writes them out when Escape ends the run.
#
# usage: bench/run.sh BUILD_DIR
# environment: BENCH_RUNS (5), BENCH_SECONDS (4) per run,
#              BENCH_CALLGRIND_SKIP (30) frames before counting instructions,
#              BENCH_CALLGRIND_FRAMES (50) frames counted
set -euo pipefail
export LC_ALL=C # $EPOCHREALTIME with a decimal point

build=${1:?usage: bench/run.sh BUILD_DIR}
runs=${BENCH_RUNS:-5}
seconds=${BENCH_SECONDS:-4}
cg_skip=${BENCH_CALLGRIND_SKIP:-30}
cg_frames=${BENCH_CALLGRIND_FRAMES:-50}

out="$build/bench-out"
probe="$build/bench/libbrelox_probe.so"
declare -A exe=([brelox]="$build/brelox" [floor]="$build/bench/brelox_floor")
declare -A title=([brelox]='^Brelox$' [floor]='^Brelox floor$')

fail() {
  echo "bench: $*" >&2
  exit 1
}

# Escape through the keyboard, so that the program's own exit path runs.
quit() {
  local pid=$1 window=$2
  xdotool windowfocus --sync "$window" key Escape
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "pid $pid did not exit on Escape"
  fi
  wait "$pid" || fail "pid $pid exited with status $?"
}

find_window() {
  local name=$1 wait_s=$2 window
  window=$(timeout "$wait_s" xdotool search --sync --name "${title[$name]}" | head -1) || true
  [[ -n "$window" ]] || fail "no $name window after ${wait_s}s"
  echo "$window"
}

# One timed run: NAME FIGURES_FILE
timed_run() {
  local name=$1 figures=$2 pid window
  BRELOX_PROBE_OUT="$figures" BRELOX_PROBE_T0=$EPOCHREALTIME LD_PRELOAD="$probe" "${exe[$name]}" &
  pid=$!
  window=$(find_window "$name" 20)
  sleep "$seconds"
  quit "$pid" "$window"
  [[ -s "$figures" ]] || fail "$name wrote no figures"
}

# Instructions over a fixed run of frames, counted by callgrind between the
# probe's client requests. The renderer draws on the main thread
# (LP_NUM_THREADS=0) so that the count does not depend on thread scheduling.
callgrind_run() {
  local name=$1 figures="$out/callgrind-$name.probe" cg_out="$out/callgrind-$name.out" pid window total
  rm -f "$figures" "$figures.done" "$cg_out"
  LP_NUM_THREADS=0 BRELOX_PROBE_OUT="$figures" BRELOX_PROBE_CALLGRIND="$cg_skip $cg_frames" LD_PRELOAD="$probe" \
    valgrind -q --tool=callgrind --instr-atstart=no --callgrind-out-file="$cg_out" "${exe[$name]}" &
  pid=$!
  window=$(find_window "$name" 120)
  for _ in $(seq 1200); do
    [[ -e "$figures.done" ]] && break
    sleep 0.1
  done
  [[ -e "$figures.done" ]] || fail "$name did not reach frame $((cg_skip + cg_frames)) under callgrind"
  quit "$pid" "$window"
  total=$(sed -n 's/^totals: *\([0-9]*\).*/\1/p' "$cg_out")
  [[ -n "$total" ]] || fail "no instruction total in $cg_out"
  printf 'instructions=%s\nframes=%s\n' "$total" "$cg_frames" >"$out/callgrind-$name.txt"
}

# Frame rates only mean something on an otherwise quiet machine.
warn_if_busy() {
  local load cores
  read -r load _ </proc/loadavg
  cores=$(nproc)
  echo "load average $1: $load on $cores cores"
  if awk -v l="$load" -v c="$cores" 'BEGIN { exit !(l > c / 2) }'; then
    echo "bench: warning: the machine is busy; frames/s and frame intervals will be noisy" >&2
  fi
}

mkdir -p "$out"
rm -f "$out"/*.txt "$out"/*.probe* "$out"/*.out
"$(dirname "$0")/check-probe.sh" "$build"
warn_if_busy "before the runs"

# Interleaved, the order swapped every round, so that a change in machine load
# falls on both programs alike.
program_files=() floor_files=()
for ((i = 1; i <= runs; i++)); do
  order=(brelox floor)
  ((i % 2)) || order=(floor brelox)
  for name in "${order[@]}"; do
    echo "run $i/$runs: $name, ${seconds}s"
    timed_run "$name" "$out/$name-$i.txt"
  done
  program_files+=("$out/brelox-$i.txt")
  floor_files+=("$out/floor-$i.txt")
done

warn_if_busy "after the timed runs"

for name in brelox floor; do
  echo "callgrind: $name, frames $((cg_skip + 1))-$((cg_skip + cg_frames))"
  callgrind_run "$name"
done

"$build/bench/brelox_bench_report" --json "$out/bench.json" --seconds "$seconds" \
  --program "${program_files[@]}" --floor "${floor_files[@]}" \
  --callgrind-program "$out/callgrind-brelox.txt" --callgrind-floor "$out/callgrind-floor.txt"
