#!/usr/bin/env python3
"""Runs the list benchmarks and prints their medians and ratios.

Usage: bench/list_ratios.py [build/bench] [repetitions]

Both executables run with the benchmarks randomly interleaved and repeated,
so that load from other processes falls on every container alike. Times are
medians over the repetitions (CPU time; wall time for the two-thread runs);
a ratio is the median of the per-repetition ratios, with its quartiles.
"""
import json
import statistics
import subprocess
import sys
from pathlib import Path


def run(executable, repetitions):
    out = subprocess.run(
        [executable, "--benchmark_format=json",
         f"--benchmark_repetitions={repetitions}",
         "--benchmark_enable_random_interleaving=true",
         "--benchmark_min_time=0.05"],
        check=True, capture_output=True, text=True).stdout
    times = {}
    for entry in json.loads(out)["benchmarks"]:
        if entry.get("run_type") != "iteration":
            continue
        name = entry["run_name"]
        metric = "real_time" if "threads:" in name else "cpu_time"
        times.setdefault(name, {})[entry["repetition_index"]] = entry[metric]
    return times


def quartiles(values):
    q = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
    return q[0], statistics.median(values), q[2]


def median(times, name):
    return statistics.median(times[name].values())


def ratio(times, mine, baseline):
    pairs = [times[mine][i] / times[baseline][i]
             for i in times[mine] if i in times[baseline]]
    low, mid, high = quartiles(pairs)
    return f"{mid:5.2f} [{low:.2f}-{high:.2f}]"


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/bench")
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    stand_in = run(build / "bench/kelu_bench_list", repetitions)

    print(f"Unlocked, ns per operation pair; median of {repetitions} "
          "repetitions; ratio = median [quartiles] of per-repetition ratios")
    print(f"| {'operation':<22} | {'kelu':>6} | {'boost':>6} | {'boost call':>10} "
          f"| {'std::list':>9} | {'kelu/boost':>17} | {'kelu/boost call':>17} "
          f"| {'kelu/std::list':>17} |")
    print("|" + "|".join("-" * w for w in (24, 8, 8, 12, 11, 19, 19, 19)) + "|")
    for label, bench in (("push back + pop front", "PushBackPopFront"),
                         ("push front + pop front", "PushFrontPopFront"),
                         ("unlink middle + relink", "UnlinkFromMiddle")):
        names = {kind: f"{bench}<{kind}>"
                 for kind in ("Kelu", "Boost", "BoostOutOfLine", "Std")}
        print(f"| {label:<22} | {median(stand_in, names['Kelu']):6.2f} "
              f"| {median(stand_in, names['Boost']):6.2f} "
              f"| {median(stand_in, names['BoostOutOfLine']):10.2f} "
              f"| {median(stand_in, names['Std']):9.2f} "
              f"| {ratio(stand_in, names['Kelu'], names['Boost']):>17} "
              f"| {ratio(stand_in, names['Kelu'], names['BoostOutOfLine']):>17} "
              f"| {ratio(stand_in, names['Kelu'], names['Std']):>17} |")

    print()
    print("Locked pair (link at the back + cut the front), ns per pair")
    print(f"| {'':<40} | {'stand-in lock':>22} |")
    print("|" + "|".join("-" * w for w in (42, 24)) + "|")
    rows = (
        ("unlocked pair (NoLock twins)", lambda t: f"{median(t, 'UnlockedPair'):.2f}"),
        ("platform lock+unlock, twice", lambda t: f"{median(t, 'PlatformLockPairs'):.2f}"),
        ("locked pair, 1 thread", lambda t: f"{median(t, 'LockedPair'):.2f}"),
        ("std::mutex + std::list pair, 1 thread",
         lambda t: f"{median(t, 'MutexStdListPair'):.2f}"),
        ("locked / unlocked, 1 thread", lambda t: ratio(t, "LockedPair", "UnlockedPair")),
        ("locked / mutex, 1 thread", lambda t: ratio(t, "LockedPair", "MutexStdListPair")),
        ("locked pair, 2 threads (wall)",
         lambda t: f"{median(t, 'LockedPair/real_time/threads:2'):.2f}"),
        ("std::mutex + std::list, 2 threads (wall)",
         lambda t: f"{median(t, 'MutexStdListPair/real_time/threads:2'):.2f}"),
        ("locked / mutex, 2 threads",
         lambda t: ratio(t, "LockedPair/real_time/threads:2",
                         "MutexStdListPair/real_time/threads:2")),
    )
    for label, cell in rows:
        print(f"| {label:<40} | {cell(stand_in):>22} |")


if __name__ == "__main__":
    main()
