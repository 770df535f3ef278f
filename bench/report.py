#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Runs the benchmarks, prints their tables and draws their plots.

Usage: bench/report.py [--from-json DIR] [--out DIR] [--plots DIR]
                       [--repetitions N] [--min-time S] [--smoke] [FAMILY ...]
       bench/report.py --profile N

FAMILY is avl, list or crc (default: all three). Without --from-json the
script installs what the benchmarks need, builds the bench preset, and runs
each family's executable with repetitions in random interleaving, keeping
Google Benchmark's JSON output in --out (default build/bench/json). With
--from-json it reads those files instead of running anything.

Every table is in Markdown. A time is the median over the repetitions; a
ratio is the median of the per-repetition ratios (repetition i of one
benchmark against repetition i of the other, which ran in the same round),
with the spread of those ratios as [first quartile-third quartile]. The
plots (PNG, Debian's python3-matplotlib) go to --plots (default doc/bench).

--smoke is the check CI runs: every benchmark function once, at its
family's smallest size, one short repetition, then every table and plot
from that output (under build/bench/smoke unless --out or --plots say
otherwise). It fails when a benchmark crashes or a table cannot be made;
its figures mean nothing.

--profile N runs each AVL benchmark at N elements once under valgrind's
callgrind instead, and prints what its loop costs per operation:
instructions, data reads, and misses of simulated caches shaped as this
machine's first-level data cache (D1) and second-level cache (LL).
"""
import argparse
import json
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
EXECUTABLES = {"avl": "kelu_bench_avl", "list": "kelu_bench_list", "crc": "kelu_bench_crc"}
# The benchmarks of each family at its smallest size: every function once.
SMOKE_FILTERS = {"avl": "/1024$", "list": ".", "crc": "/1$"}


def run_family(family, build, out, repetitions, min_time, only="."):
    path = out / f"{family}.json"
    subprocess.run(
        [build / "bench" / EXECUTABLES[family], f"--benchmark_out={path}",
         "--benchmark_out_format=json", f"--benchmark_repetitions={repetitions}",
         "--benchmark_enable_random_interleaving=true",
         f"--benchmark_min_time={min_time}", f"--benchmark_filter={only}"],
        check=True, stdout=subprocess.DEVNULL)
    return path


def load(path, metric, keep=lambda name: True):
    """{run_name: {repetition: metric(entry)}} for the iteration runs whose
    names keep() accepts."""
    samples = {}
    for entry in json.loads(Path(path).read_text())["benchmarks"]:
        if (entry.get("run_type") == "iteration" and not entry.get("error_occurred")
                and keep(entry["run_name"])):
            samples.setdefault(entry["run_name"], {})[entry["repetition_index"]] = metric(entry)
    return samples


def median(samples, name):
    return statistics.median(samples[name].values())


def ratio(samples, mine, base):
    """The median of per-repetition ratios, and its quartiles."""
    pairs = [samples[mine][i] / samples[base][i] for i in samples[mine] if i in samples[base]]
    if len(pairs) < 2:
        return pairs[0], pairs[0], pairs[0]
    low, mid, high = statistics.quantiles(pairs, n=4)
    return statistics.median(pairs), low, high


def show_time(ns, goal):
    return f"{ns:.1f} " + ("ok" if ns < goal else "MISS")


def show_ratio(r, goal=None):
    mid, low, high = r
    text = f"{mid:.2f} [{low:.2f}-{high:.2f}]"
    if goal is not None:
        text += " ok" if mid <= goal else " MISS"
    return text


def table(header, rows):
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()


AVL_WORKLOADS = ("insert", "find_hit", "find_miss", "walk", "remove")  # plotted
AVL_CONTAINERS = ("kelu_typed", "kelu_c", "kelu_c_inline", "boost_inline", "boost_ptr", "std_set")
# Table rows: label, workload, the typed container and its Boost counterpart.
AVL_ROWS = [(w, w, "kelu_typed", "boost_inline") for w in AVL_WORKLOADS] + [
    ("erase_key", "erase_key", "kelu_typed", "boost_inline"),
    ("equal_range", "equal_range", "kelu_typed", "boost_inline"),
    ("multiset insert", "insert", "kelu_multi", "boost_multi"),
    ("multiset walk", "walk", "kelu_multi", "boost_multi"),
    ("multiset equal_range", "equal_range", "kelu_multi", "boost_multi")]
AVL_READS = ("find_hit", "find_miss", "walk")  # the C inline caller's workloads
AVL_CHANGES = ("insert", "remove", "erase_key")  # typed / the C calls it makes
AVL_GOAL = 1.05  # typed set and C inline reads against boost inlined, every workload and N
AVL_CHANGE_GOAL = 1.03  # a typed change against the C calls


def set_columns(typed):
    """The less-than, C inline, pointer and std::set containers of a row:
    they are sets, so a multiset row has none."""
    return (("kelu_less", "kelu_c_inline", "boost_ptr", "std_set") if typed == "kelu_typed"
            else ("none",) * 4)


def avl_report(path):
    # Names are workload/container/N; one iteration does N operations. CPU
    # time: on a shared machine, wall time also counts the other processes.
    samples = load(path, lambda e: e["cpu_time"] / int(e["run_name"].split("/")[2]))
    sizes = sorted({int(name.split("/")[2]) for name in samples})
    key = lambda w, c, n: f"{w}/{c}/{n}"
    cell = lambda w, c, n: f"{median(samples, key(w, c, n)):.1f}" if key(w, c, n) in samples else ""
    print("### AVL tree: ns per operation\n")
    rows = []
    for label, w, typed, boost in AVL_ROWS:
        for n in sizes:
            less, inline, ptr, std = set_columns(typed)
            rows.append([label, str(n), cell(w, typed, n), cell(w, less, n), cell(w, "kelu_c", n),
                         cell(w, inline, n), cell(w, boost, n), cell(w, ptr, n), cell(w, std, n)])
    table(["workload", "N", "kelu typed", "kelu less-than", "kelu C", "kelu C inline",
           "boost inlined", "boost ptr", "std::set"], rows)
    print(f"### AVL tree: ratios (goals: typed and C inline / boost inlined <= {AVL_GOAL}; "
          f"a typed change / its C calls <= {AVL_CHANGE_GOAL})\n")
    rows = []
    for label, w, typed, boost in AVL_ROWS:
        for n in sizes:
            r = lambda a, b, goal=None: (show_ratio(ratio(samples, a, b), goal)
                                         if a in samples and b in samples else "")
            change = w in AVL_CHANGES
            less, inline, ptr, std = set_columns(typed)
            rows.append([label, str(n),
                         r(key(w, typed, n), key(w, boost, n), AVL_GOAL),
                         r(key(w, inline, n), key(w, boost, n), AVL_GOAL),
                         r(key(w, typed, n), key(w, "kelu_c", n), AVL_CHANGE_GOAL if change else None),
                         r(key(w, less, n), key(w, typed, n)),
                         r(key(w, "kelu_c", n), key(w, boost, n)),
                         r(key(w, "kelu_c", n), key(w, ptr, n)),
                         r(key(w, typed, n), key(w, std, n))])
    table(["workload", "N", "typed / boost inl.", "C inline / boost inl.", "typed / C",
           "less-than / typed",
           "C / boost inl.", "C / boost ptr", "typed / std::set"], rows)
    return samples, sizes


LIST_WORKLOADS = (("push back + pop front", "PushBackPopFront"),
                  ("push front + pop front", "PushFrontPopFront"),
                  ("unlink middle + relink", "UnlinkFromMiddle"))
LIST_GOAL = 1.03  # typed lists against the C calls


def list_report(path):
    # CPU time, except wall time for the runs on two threads.
    samples = load(path, lambda e: e["real_time" if "threads:" in e["run_name"] else "cpu_time"])
    print("### Counted lists: ns per operation pair\n")
    rows = []
    for label, bench in LIST_WORKLOADS:
        name = lambda kind: f"{bench}<{kind}>"
        rows.append([label] + [f"{median(samples, name(k)):.2f}"
                               for k in ("Typed", "Kelu", "Boost", "BoostOutOfLine", "Std")]
                    + [show_ratio(ratio(samples, name("Typed"), name("Kelu")), LIST_GOAL),
                       show_ratio(ratio(samples, name("Kelu"), name("Boost"))),
                       show_ratio(ratio(samples, name("Typed"), name("Boost")))])
    table(["operation", "typed", "C", "boost", "boost call", "std::list",
           f"typed / C (goal <= {LIST_GOAL})", "C / boost", "typed / boost"], rows)
    print("### Spin-lock list: locked pair (link at the back, cut the front), ns per pair\n")
    two = "/real_time/threads:2"
    rows = [[label, f"{median(samples, a):.2f}", f"{median(samples, b):.2f}",
             show_ratio(ratio(samples, a, b), LIST_GOAL if a.startswith("Typed") else None)]
            for label, a, b in (
                ("typed / C, 1 thread", "TypedLockedPair", "LockedPair"),
                ("typed / C, 2 threads (wall)", "TypedLockedPair" + two, "LockedPair" + two),
                ("C / unlocked C, 1 thread", "LockedPair", "UnlockedPair"),
                ("C / std::mutex + std::list, 1 thread", "LockedPair", "MutexStdListPair"),
                ("C / std::mutex + std::list, 2 threads", "LockedPair" + two,
                 "MutexStdListPair" + two))]
    rows.append(["platform lock + unlock, twice", f"{median(samples, 'PlatformLockPairs'):.2f}",
                 "", ""])
    table(["pair", "ns", "baseline ns", "ratio"], rows)


CRC_VARIANTS = ("CRC_Crc32", "kelu::crc32", "table_loop", "isal_crc32_ieee", "crc32_iscsi_00",
                "kelu::crc32c", "isal_crc32_iscsi", "zlib_crc32")


def crc_report(path):
    samples = load(path, lambda e: e["bytes_per_second"] / 1e9,
                   lambda name: not name.startswith("combine/"))
    sizes = sorted({int(name.split("/")[1]) for name in samples})
    key = lambda v, n: f"{v}/{n}"
    print("### Checksums: GB/s\n")
    rows = [[str(n)] + [f"{median(samples, key(v, n)):.3f}" for v in CRC_VARIANTS] for n in sizes]
    table(["bytes"] + list(CRC_VARIANTS), rows)
    print("### Checksums: ratios of throughput\n")
    rows = [[str(n)] + [show_ratio(ratio(samples, key(a, n), key(b, n))) for a, b in (
        ("CRC_Crc32", "isal_crc32_ieee"), ("crc32_iscsi_00", "isal_crc32_iscsi"),
        ("kelu::crc32", "CRC_Crc32"), ("kelu::crc32c", "crc32_iscsi_00"))] for n in sizes]
    table(["bytes", "CRC_Crc32 / ISA-L ieee", "iscsi_00 / ISA-L iscsi",
           "kelu::crc32 / CRC_Crc32", "kelu::crc32c / iscsi_00"], rows)
    return samples, sizes


COMBINE_VARIANTS = ("CRC_Crc32Combine", "CRC_Crc32cCombine", "zlib_crc32_combine",
                    "crc32_portable", "crc32c_portable")
COMBINE_GOAL_NS = 100  # any length, both polynomials; and no slower than zlib


def bytes_label(n):
    """1 Ki, 1 Ti, 1 Ti - 1, ... for the lengths of B."""
    if n > 1 and (n + 1) & n == 0:
        return bytes_label(n + 1) + " - 1"
    for unit, shift in (("Ei", 60), ("Ti", 40), ("Gi", 30), ("Mi", 20), ("Ki", 10)):
        if n >= 1 << shift and n % (1 << shift) == 0:
            return f"{n >> shift} {unit}"
    return str(n)


def combine_report(path):
    # CPU time per combination: on a shared machine, wall time also counts
    # the other processes.
    samples = load(path, lambda e: e["cpu_time"], lambda name: name.startswith("combine/"))
    lengths = sorted({int(name.split("/")[2]) for name in samples})
    key = lambda v, n: f"combine/{v}/{n}"
    print(f"### Combining checksums: ns per combination (goal: < {COMBINE_GOAL_NS} ns, "
          "and no slower than zlib)\n")
    rows = []
    for n in lengths:
        ns = {v: median(samples, key(v, n)) for v in COMBINE_VARIANTS}
        rows.append([bytes_label(n)]
                    + [show_time(ns[v], COMBINE_GOAL_NS) for v in COMBINE_VARIANTS[:2]]
                    + [f"{ns[v]:.1f}" for v in COMBINE_VARIANTS[2:]]
                    + [show_ratio(ratio(samples, key(v, n), key("zlib_crc32_combine", n)), 1.0)
                       for v in COMBINE_VARIANTS[:2]])
    table(["length of B", "CRC_Crc32Combine", "CRC_Crc32cCombine", "zlib crc32_combine",
           "portable CRC-32", "portable CRC-32C", "Crc32Combine / zlib",
           "Crc32cCombine / zlib"], rows)
    return samples, lengths


# The class whose out-of-line loops (fill, findAll, walk, eraseAll) run
# each container's workloads, for callgrind to collect in. Only the
# benchmark run calls them; the two Boost sets share the loops that do not
# compare (the compiler merges them).
AVL_CLASSES = {"kelu_typed": "Typed<*>", "kelu_c": "Library", "kelu_c_inline": "CInline",
               "boost_inline": "Boost<*>", "boost_ptr": "Boost<*>", "std_set": "Std"}
AVL_LOOPS = {"insert": "*::{}::fill*", "find_hit": "*findAll*::{}&*",
             "find_miss": "*findAll*::{}&*", "walk": "*::{}::walk*", "remove": "*::{}::eraseAll*"}


def cache_option(index):
    """valgrind's size,associativity,line of /sys's cache `index` of CPU 0."""
    cache = Path(f"/sys/devices/system/cpu/cpu0/cache/index{index}")
    read = lambda name: (cache / name).read_text().strip()
    size = int(read("size").rstrip("K")) * 1024
    return f"{size},{read('ways_of_associativity')},{read('coherency_line_size')}"


def avl_profile(build, n):
    # One timed iteration runs each loop once; insertion also fills the
    # container when it is made, so its loop runs twice.
    events = ("Ir", "Dr", "D1mr", "DLmr")
    print(f"### AVL tree: per operation at N = {n} (callgrind; D1 {cache_option(0)}, "
          f"LL {cache_option(2)})\n")
    rows = []
    with tempfile.TemporaryDirectory() as work:
        for w in AVL_WORKLOADS:
            for c, cls in AVL_CLASSES.items():
                if c == "kelu_c_inline" and w not in AVL_READS:
                    continue
                out = Path(work) / f"{w}.{c}.out"
                subprocess.run(
                    ["valgrind", "--tool=callgrind", "--cache-sim=yes",
                     f"--D1={cache_option(0)}", f"--LL={cache_option(2)}",
                     f"--toggle-collect={AVL_LOOPS[w].format(cls)}",
                     f"--callgrind-out-file={out}", build / "bench" / EXECUTABLES["avl"],
                     f"--benchmark_filter=^{w}/{c}/{n}$", "--benchmark_min_time=0"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
                lines = out.read_text().splitlines()
                names = next(l for l in lines if l.startswith("events:")).split()[1:]
                totals = next(l for l in lines if l.startswith("summary:")).split()[1:]
                cost = dict(zip(names, [int(v) for v in totals] + [0] * len(names)))
                ops = n * (2 if w == "insert" else 1)
                rows.append([w, c] + [f"{cost[e] / ops:.{1 if e in ('Ir', 'Dr') else 2}f}"
                                      for e in events])
    table(["workload", "container", "instructions", "data reads", "D1 misses", "LL misses"],
          rows)


def plot_avl(samples, sizes, plots):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    fig, axes = plt.subplots(1, len(AVL_WORKLOADS), figsize=(18, 4), sharex=True)
    for ax, w in zip(axes, AVL_WORKLOADS):
        for i, c in enumerate(AVL_CONTAINERS):
            if c != "kelu_c_inline" or w in AVL_READS:
                ax.plot(sizes, [median(samples, f"{w}/{c}/{n}") for n in sizes],
                        marker="o", color=f"C{i}", label=c)
        ax.set(title=w, xscale="log", yscale="log", xlabel="N elements")
        ax.grid(True, which="both", alpha=0.3)
    axes[0].set_ylabel("ns per operation (median)")
    fig.legend(*axes[AVL_WORKLOADS.index("walk")].get_legend_handles_labels(), loc="center right")
    fig.tight_layout(rect=(0, 0, 0.9, 1))
    fig.savefig(plots / "avl_ns_per_op.png", dpi=90)


def plot_crc(samples, sizes, plots):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    fig, ax = plt.subplots(figsize=(9, 5))
    for v in CRC_VARIANTS:
        ax.plot(sizes, [median(samples, f"{v}/{n}") for n in sizes], marker=".", label=v)
    ax.set(xscale="log", yscale="log", xlabel="buffer size (bytes)",
           ylabel="GB/s (median)", title="Checksum throughput")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend()
    fig.tight_layout()
    fig.savefig(plots / "crc_throughput.png", dpi=90)


def plot_combine(samples, lengths, plots):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    # Lines through the powers of two; a cross for each other length (every
    # hexadecimal digit nonzero: the worst cases).
    powers = [n for n in lengths if n & (n - 1) == 0]
    others = [n for n in lengths if n & (n - 1) != 0]
    fig, ax = plt.subplots(figsize=(9, 5))
    for v in COMBINE_VARIANTS:
        line, = ax.plot(powers, [median(samples, f"combine/{v}/{n}") for n in powers],
                        marker=".", label=v)
        ax.plot(others, [median(samples, f"combine/{v}/{n}") for n in others], "x",
                color=line.get_color())
    ax.axhline(COMBINE_GOAL_NS, color="grey", linestyle="--", label="goal")
    ax.set(xscale="log", yscale="log", xlabel="length of B (bytes)",
           ylabel="ns per combination (median CPU time)", title="Combining checksums")
    ax.grid(True, which="both", alpha=0.3)
    ax.legend()
    fig.tight_layout()
    fig.savefig(plots / "crc_combine.png", dpi=90)


def processor():
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip()
    return "unknown"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("families", nargs="*", metavar="FAMILY", help="avl, list or crc")
    parser.add_argument("--from-json", type=Path)
    parser.add_argument("--out", type=Path, default=ROOT / "build/bench/json")
    parser.add_argument("--plots", type=Path, default=ROOT / "doc/bench")
    parser.add_argument("--repetitions", type=int, default=9)
    parser.add_argument("--min-time", type=float, default=0.1)
    parser.add_argument("--smoke", action="store_true",
                        help="every benchmark once, briefly, at its smallest size (CI)")
    parser.add_argument("--profile", type=int, metavar="N",
                        help="callgrind's cost per operation of each AVL benchmark at N")
    args = parser.parse_args()
    if args.smoke:
        smoke = ROOT / "build/bench/smoke"
        args.repetitions, args.min_time = 1, 0.001
        args.out = smoke if args.out == parser.get_default("out") else args.out
        args.plots = smoke if args.plots == parser.get_default("plots") else args.plots
    args.families = args.families or list(EXECUTABLES)
    if not set(args.families) <= set(EXECUTABLES):
        parser.error(f"a family is one of {', '.join(EXECUTABLES)}")

    if args.from_json is None:
        subprocess.run([ROOT / "scripts/install-deps.sh", "bench"], check=True)
        subprocess.run(["cmake", "--preset", "bench"], cwd=ROOT, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", "--preset", "bench"], cwd=ROOT, check=True,
                       stdout=sys.stderr)
        if args.profile:
            avl_profile(ROOT / "build/bench", args.profile)
            return
        args.out.mkdir(parents=True, exist_ok=True)
        paths = {f: run_family(f, ROOT / "build/bench", args.out, args.repetitions,
                               args.min_time, SMOKE_FILTERS[f] if args.smoke else ".")
                 for f in args.families}
    else:
        paths = {f: args.from_json / f"{f}.json" for f in args.families}
    command = " ".join(["bench/report.py"] + sys.argv[1:])
    context = json.loads(next(iter(paths.values())).read_text())["context"]
    print(f"{context['date'][:10]} · {processor()} ({context['num_cpus']} CPUs) · "
          f"`{command}`\n")

    args.plots.mkdir(parents=True, exist_ok=True)
    if "avl" in paths:
        plot_avl(*avl_report(paths["avl"]), args.plots)
    if "list" in paths:
        list_report(paths["list"])
    if "crc" in paths:
        plot_crc(*crc_report(paths["crc"]), args.plots)
        plot_combine(*combine_report(paths["crc"]), args.plots)


if __name__ == "__main__":
    main()
