#!/usr/bin/env bash
# Builds the bench preset and runs the AVL benchmark: the library, boost's
# intrusive avl_set with the same comparison through a pointer and inlined,
# and std::set, interleaved at random over repetitions. Prints one line per
# run on stderr, then the table of median ns/op and ratios on stdout.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=find).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target kelu_bench_avl
exec build/bench/bench/kelu_bench_avl \
  --benchmark_repetitions="${KELU_BENCH_REPETITIONS:-7}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.1 \
  "$@"
