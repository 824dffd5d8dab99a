#!/usr/bin/env bash
# Measures the viewer against the floor program (bench/floor.cpp) on a virtual
# display and prints the table; bench/README.md says how each figure is taken.
# usage: bench/run.sh BUILD_DIR, with BENCH_RUNS (5) timed runs of BENCH_SECONDS
# (4, at least 2), BENCH_WARMUP (30) frames before the steady state and
# BENCH_FRAMES (50) steady frames at least under heaptrack and callgrind
set -euo pipefail
export LC_ALL=C # ${EPOCHREALTIME/./}: microseconds

build=$(realpath "${1:?usage: bench/run.sh BUILD_DIR}") # heaptrack names the program as started
runs=${BENCH_RUNS:-5} seconds=${BENCH_SECONDS:-4} warmup=${BENCH_WARMUP:-30} frames=${BENCH_FRAMES:-50}
here=$(dirname "$0")
out=$build/bench-out
probe=$build/bench/libbrelox_probe.so
declare -A exe=([brelox]="$build/brelox" [floor]="$build/bench/brelox_floor")
declare -A title=([brelox]=Brelox [floor]='Brelox floor')
source "$here/../scripts/x-session.sh"

fail() { echo "bench: $*" >&2 && exit 1; }

cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { print ns }'; } # all threads so far

# NAME RUN: the probe notes the time of every frame and tick; /proc gives the
# CPU time over the steady part of the run and the peak RSS.
timed_run() {
  local name=$1 stem=$out/$1-$2 launch=${EPOCHREALTIME/./} from from_cpu
  xs_start "${title[$name]}" env BRELOX_PROBE_OUT="$stem.frames" LD_PRELOAD="$probe" "${exe[$name]}"
  sleep 1 # past the warm-up frames
  from=${EPOCHREALTIME/./} from_cpu=$(cpu_ns "$XS_PID")
  sleep $((seconds - 1))
  printf 'launch_us=%s\nwindow_us=%s %s\ncpu_ns=%s %s\npeak_rss_kib=%s\n' "$launch" "$from" "${EPOCHREALTIME/./}" \
    "$from_cpu" "$(cpu_ns "$XS_PID")" "$(awk '/^VmHWM:/ { print $2 }' /proc/"$XS_PID"/status)" >"$stem.proc"
  xs_quit || fail "$name did not end cleanly on Escape"
}

# NAME: heaptrack records every allocation with its call stack; the probe
# marks in that record where each frame ends. Heaptrack slows the first
# frames, while the renderer compiles its shaders, by seconds.
heap_run() {
  local name=$1 record=$out/heaptrack-$1 last=$((warmup + frames))
  xs_start "${title[$name]}" env BRELOX_PROBE_MARK=1 BRELOX_PROBE_OUT="$record.frames" LD_PRELOAD="$probe" \
    heaptrack -o "$record" "${exe[$name]}" >"$record.log" 2>&1 || fail "no $name window (see $record.log)"
  sleep "$seconds"
  timeout 120 bash -c 'until [[ $(grep -cs ^f "$0") -ge $1 ]]; do sleep 0.1; done' "$record.frames" "$last" ||
    fail "$name did not reach frame $last under heaptrack in 2 minutes"
  xs_quit || fail "$name did not end cleanly on Escape under heaptrack (see $record.log)"
}

# NAME: callgrind dumps the instructions of each tick and the frame it asks
# for as the tick sets its next timer. Counted by ticks, not frames, the same
# scenes are counted whether the first frame comes before the first tick or
# with it. Without the probe, whose own glutTimerFunc would dump a second time;
# with the renderer on the main thread (LP_NUM_THREADS=0), so that the count
# does not depend on thread scheduling.
callgrind_run() {
  local name=$1 profile=$out/callgrind-$1.out last=$((warmup + frames))
  XS_WAIT=120 xs_start "${title[$name]}" env LP_NUM_THREADS=0 valgrind -q --tool=callgrind \
    --dump-after=glutTimerFunc --callgrind-out-file="$profile" "${exe[$name]}"
  timeout 120 bash -c 'until [[ -e $0 ]]; do sleep 0.1; done' "$profile.$((last + 1))" ||
    fail "$name did not reach tick $last under callgrind in 2 minutes"
  xs_quit || fail "$name did not end cleanly on Escape under callgrind"
}

((seconds >= 2)) || fail "BENCH_SECONDS must be at least 2"
mkdir -p "$out"
rm -rf "${out:?}"/*
xs_display

# The split between the program's allocations and the libraries' means
# nothing unless it finds the five that brelox_own_allocs makes.
timeout 60 heaptrack -o "$out/heaptrack-check" "$build/bench/brelox_own_allocs" >"$out/heaptrack-check.log" 2>&1 ||
  fail "heaptrack did not run brelox_own_allocs (see $out/heaptrack-check.log)"
own=$(python3 "$here/report.py" --own "$out/heaptrack-check.zst")
[[ $own == 5 ]] || fail "heaptrack's record shows $own own-code allocations of brelox_own_allocs, not 5"
echo "allocation check: the 5 own-code allocations found, the library's kept apart"

# Interleaved, the order swapped every round, so that a change in machine load
# falls on both programs alike; frame rates get noisy above half the cores.
echo "load average before the runs: $(cut -d' ' -f1 /proc/loadavg) on $(nproc) cores"
for ((i = 1; i <= runs; i++)); do
  order=(brelox floor)
  ((i % 2)) || order=(floor brelox)
  for name in "${order[@]}"; do
    echo "run $i/$runs: $name, ${seconds}s"
    timed_run "$name" "$i"
  done
done
echo "load average after the timed runs: $(cut -d' ' -f1 /proc/loadavg)"

for name in brelox floor; do
  echo "$name: ${seconds}s under heaptrack, ticks $((warmup + 1))-$((warmup + frames)) under callgrind"
  heap_run "$name"
  callgrind_run "$name"
done
python3 "$here/report.py" "$out" "$runs" "$warmup" "$frames"
