#!/usr/bin/env bash
# Runs kelu_bench_crc with interleaved repetitions and prints, per size, each
# variant's median throughput in GB/s and its ratio to ISA-L's crc32_ieee,
# the ratio of crc32_iscsi_00 to ISA-L's crc32_iscsi, and the largest
# coefficient of variation in the row (the spread of the repetitions).
# Environment: REPS (default 9), MIN_TIME seconds per run (default 0.05),
# KELU_BENCH_CRC (the binary; built with the bench preset when absent).
# Extra arguments go to the benchmark, e.g. --benchmark_filter='/65536$'.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=${KELU_BENCH_CRC:-build/bench/bench/kelu_bench_crc}
if [ ! -x "$bench" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target kelu_bench_crc >/dev/null
fi

"$bench" --benchmark_repetitions="${REPS:-9}" --benchmark_enable_random_interleaving=true \
  --benchmark_min_time="${MIN_TIME:-0.05}" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv "$@" 2>/dev/null |
awk -F, -v order="CRC_Crc32 table_loop isal_crc32_ieee crc32_iscsi_00 isal_crc32_iscsi zlib_crc32" '
  BEGIN { nv = split(order, variants, " ") }
  $1 ~ /_(median|cv)"$/ {
    name = $1; gsub(/"/, "", name)
    kind = name; sub(/.*_/, "", kind); sub(/_[a-z]+$/, "", name)
    split(name, part, "/"); variant = part[1]; size = part[2]
    if (!(size in seenSize)) {
      seenSize[size] = 1
      for (i = ++ns; i > 1 && sizes[i - 1] + 0 > size + 0; i--) sizes[i] = sizes[i - 1]
      sizes[i] = size
    }
    if (kind == "median") gbps[variant, size] = $6 / 1e9; else cv[variant, size] = $6
  }
  END {
    printf "| bytes |"
    for (v = 1; v <= nv; v++) printf " %s GB/s | x ieee |", variants[v]
    printf " iscsi_00 / iscsi | max cv |\n|---|"
    for (v = 1; v <= nv; v++) printf "---|---|"
    printf "---|---|\n"
    for (s = 1; s <= ns; s++) {
      size = sizes[s]; ieee = gbps["isal_crc32_ieee", size]; spread = 0
      printf "| %s |", size
      for (v = 1; v <= nv; v++) {
        g = gbps[variants[v], size]
        printf " %.3f | %.2f |", g, (ieee > 0 ? g / ieee : 0)
        if (cv[variants[v], size] > spread) spread = cv[variants[v], size]
      }
      iscsi = gbps["isal_crc32_iscsi", size]
      printf " %.2f | %.1f%% |\n", (iscsi > 0 ? gbps["crc32_iscsi_00", size] / iscsi : 0), 100 * spread
    }
  }'
