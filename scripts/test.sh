#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs the whole test suite, stopping at the first failure:
#   lint     the version sources agree, clang-format over every C and C++
#            source, clang-tidy over the library, the API reference builds
#            without a warning (scripts/lint.sh): quick, so first
#   default  the optimised build; then the families' tests that link the
#            library's objects once more under valgrind's memcheck, which must
#            report no error
#   asan     AddressSanitizer + UndefinedBehaviorSanitizer
#   tsan     ThreadSanitizer
#   coverage the library's line and branch coverage, printed by gcovr
#   fuzz     each libFuzzer target for 30 s from its committed corpus
#            (fuzz/corpus/<name>; new inputs go to fuzz/corpus-work)
#   bench    the bench preset, and every benchmark function run once at its
#            smallest size, with every table and plot made from the output
#            (bench/report.py --smoke): the benchmark command keeps working
#   packaging the library as users and packagers build it: Release, static,
#            the Debian packages of both flavours (built twice and compared
#            bit for bit, lintian, consumers, manual pages, ABI), clang
#            (scripts/check-packaging.sh)
# With arguments, runs only the steps named (e.g. scripts/test.sh asan).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

steps=(lint default asan tsan coverage fuzz bench packaging)
[ $# -gt 0 ] && steps=("$@")

run_preset() {
  cmake --preset "$1" -DKELU_BUILD_TESTS=ON >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1"
}

for step in "${steps[@]}"; do
  echo "=== $step ==="
  case "$step" in
    lint)
      scripts/lint.sh
      ;;
    default)
      run_preset default
      for family in avl list crc module; do
        valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
          "build/default/tests/$family/kelu_${family}_tests" --gtest_brief=1
      done
      ;;
    coverage)
      find build/coverage -name '*.gcda' -delete 2>/dev/null || true
      run_preset coverage
      gcovr --root . --object-directory build/coverage --filter 'os_plat/modules/kelu_util/' \
        --exclude-unreachable-branches --txt - --print-summary
      ;;
    fuzz)
      cmake --preset fuzz >/dev/null
      cmake --build --preset fuzz
      for corpus in fuzz/corpus/*/; do
        name=$(basename "$corpus")
        mkdir -p "fuzz/corpus-work/$name"
        "build/fuzz/tests/$name/kelu_fuzz_$name" -max_total_time=30 -max_len=1024 -print_final_stats=1 \
          -artifact_prefix="fuzz/corpus-work/$name-" "fuzz/corpus-work/$name" "$corpus"
      done
      ;;
    bench)
      bench/report.py --smoke >/dev/null
      ;;
    packaging)
      scripts/check-packaging.sh
      ;;
    *)
      run_preset "$step"
      ;;
  esac
done
echo "=== all passed ==="
