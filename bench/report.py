#!/usr/bin/env python3
"""The benchmark's table, a verdict on each target and OUT/bench.json, from what bench/run.sh leaves in OUT.
usage: report.py OUT RUNS WARMUP FRAMES | report.py --own HEAPTRACK_RECORD (the program's own allocations)"""
import json
import math
import statistics
import subprocess
import sys
from bisect import bisect_right
from pathlib import Path

# Code that allocates on behalf of its callers, heaptrack's hook too: an allocation is its first caller's outside.
RUNTIME = ("libc.so", "libstdc++.so", "libgcc_s.so", "libm.so", "ld-linux", "libheaptrack_preload.so")
PROBE = "libbrelox_probe.so"  # its calls to the allocator mark where each frame ends
PROGRAMS = ("brelox", "floor")

TIMED = [  # key, label, decimals: median (min-max) over the timed runs
    ("fps",              "frames/s",                  1),
    ("frames_per_tick",  "frames per tick",           3),
    ("interval_p50_ms",  "frame interval p50 (ms)",   2),
    ("interval_p99_ms",  "frame interval p99 (ms)",   2),
    ("interval_max_ms",  "frame interval max (ms)",   2),
    ("first_frame_ms",   "start to first frame (ms)", 1),
    ("cpu_ms_per_frame", "CPU per frame (ms)",        3),
    ("peak_rss_mib",     "peak RSS (MiB)",            1),
]
COUNTED = [  # key, label, decimals: one run under heaptrack or callgrind
    ("own_allocs_per_frame",     "own-code allocations per frame",      1),
    ("library_allocs_per_frame", "freeglut/GL/X allocations per frame", 1),
    ("own_allocs_total",         "own-code allocations, whole run",     0),
    ("instructions_per_frame",   "instructions per frame (callgrind)",  0),
]


def heap_record(path):
    """Yields "own", "library" or "mark" for each allocation heaptrack recorded, in order."""
    text = subprocess.run(["zstd", "-dcq", path], check=True, capture_output=True, text=True).stdout
    strings, ips, traces, sites, exe = [""], [0], [(0, 0)], [], ""

    def owner(trace):  # a trace is its innermost frame and the trace of its caller
        if strings[ips[traces[trace][0]]].endswith(PROBE):
            return "mark"  # the probe's own call, not one through the C library
        while trace:
            ip, trace = traces[trace]
            module = strings[ips[ip]]
            if not Path(module).name.startswith(RUNTIME):
                return "own" if module == exe else "library"
        return "library"

    for line in text.splitlines():
        tag, _, rest = line.partition(" ")
        if tag == "X":
            exe = rest
        elif tag == "s":
            strings.append(rest.partition(" ")[2])
        elif tag == "i":
            ips.append(int(rest.split()[1], 16))
        elif tag == "t":
            traces.append(tuple(int(field, 16) for field in rest.split()))
        elif tag == "a":
            sites.append(owner(int(rest.split()[1], 16)))
        elif tag == "+":
            yield sites[int(rest, 16)]


def allocations(path, warmup):
    sites = list(heap_record(path))
    marks = [i for i, site in enumerate(sites) if site == "mark"]
    steady, frames = sites[marks[warmup - 1] : marks[-1]], len(marks) - warmup
    return {"own_allocs_per_frame": steady.count("own") / frames,
            "library_allocs_per_frame": steady.count("library") / frames,
            "own_allocs_total": sites.count("own")}


def instructions_per_frame(profile, warmup, frames):
    """Part k + 1 of callgrind's profile ends with tick k: it holds that tick and the frame before it."""
    parts = [Path(f"{profile}.{k + 1}").read_text().splitlines() for k in range(warmup + 1, warmup + frames + 1)]
    return sum(int(line.split()[1]) for lines in parts for line in lines if line.startswith("totals:")) / frames


def timed_run(stem, warmup):  # times in nanoseconds
    events = [(kind, int(ns)) for kind, ns in map(str.split, Path(f"{stem}.frames").read_text().splitlines())]
    lines = Path(f"{stem}.proc").read_text().splitlines()
    proc = {key: [int(field) for field in value.split()] for key, value in (line.split("=") for line in lines)}
    shown = [t for kind, t in events if kind == "f"]
    steady = shown[warmup - 1 :]
    intervals = sorted(b - a for a, b in zip(steady, steady[1:]))
    ticks = [t for kind, t in events if kind == "t" and t > steady[0]]
    per_tick = [bisect_right(shown, b) - bisect_right(shown, a) for a, b in zip(ticks, ticks[1:])]
    start, end = (us * 1000 for us in proc["window_us"])
    cpu_ns = proc["cpu_ns"][1] - proc["cpu_ns"][0]
    return {"fps": len(intervals) * 1e9 / (steady[-1] - steady[0]),
            "frames_per_tick": sum(min(n, 2) for n in per_tick) / len(per_tick),  # a double frame spoils it
            "one_frame_per_tick": all(n == 1 for n in per_tick),
            "interval_p50_ms": intervals[math.ceil(0.50 * len(intervals)) - 1] / 1e6,  # nearest rank
            "interval_p99_ms": intervals[math.ceil(0.99 * len(intervals)) - 1] / 1e6,
            "interval_max_ms": intervals[-1] / 1e6,
            "first_frame_ms": (shown[0] - proc["launch_us"][0] * 1000) / 1e6,
            "cpu_ms_per_frame": cpu_ns / 1e6 / (bisect_right(shown, end) - bisect_right(shown, start)),
            "peak_rss_mib": proc["peak_rss_kib"][0] / 1024}


def spread(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values)}


def cell(s, decimals):
    return f"{s['median']:,.{decimals}f} ({s['min']:,.{decimals}f}–{s['max']:,.{decimals}f})"


def main(out, runs, warmup, frames):
    timed = {name: [timed_run(f"{out}/{name}-{i}", warmup) for i in range(1, runs + 1)] for name in PROGRAMS}
    figures = {name: {key: spread([run[key] for run in timed[name]]) for key, _, _ in TIMED} for name in PROGRAMS}
    for name, side in figures.items():
        side.update(allocations(f"{out}/heaptrack-{name}.zst", warmup))
        side["instructions_per_frame"] = instructions_per_frame(f"{out}/callgrind-{name}.out", warmup, frames)
    brelox, floor = figures["brelox"], figures["floor"]

    print("\n| | brelox | floor |\n|---|---|---|")
    for key, label, decimals in TIMED:
        print(f"| {label} | {cell(brelox[key], decimals)} | {cell(floor[key], decimals)} |")
    for key, label, decimals in COUNTED:
        print(f"| {label} | {brelox[key]:,.{decimals}f} | {floor[key]:,.{decimals}f} |")

    # Each run of the viewer is paired with the floor's run next to it in time.
    ratio = spread([b["fps"] / f["fps"] for b, f in zip(timed["brelox"], timed["floor"])])
    instructions = brelox["instructions_per_frame"] / floor["instructions_per_frame"]
    targets = [
        ("frames/s at least 0.99 × the floor's", ratio["median"] >= 0.99, f": ratio {cell(ratio, 3)}"),
        ("exactly one frame per tick", all(run["one_frame_per_tick"] for run in timed["brelox"]), ""),
        ("zero own-code heap allocations per frame", brelox["own_allocs_per_frame"] == 0, ""),
        ("instructions per frame beside the floor's", True, f": {instructions:.2f} × the floor's"),
    ]
    print("\n| target | result |\n|---|---|")
    for target, met, detail in targets:
        print(f"| {target} | {'met' if met else 'NOT MET'}{detail} |")

    figures["targets"] = [{"target": target, "met": met, "detail": detail[2:]} for target, met, detail in targets]
    Path(f"{out}/bench.json").write_text(json.dumps({"runs": runs, **figures}, indent=2, ensure_ascii=False) + "\n")
    print(f"\nfigures written to {out}/bench.json")


if __name__ == "__main__":
    if sys.argv[1] == "--own":
        print(list(heap_record(sys.argv[2])).count("own"))
    else:
        main(sys.argv[1], *map(int, sys.argv[2:5]))
