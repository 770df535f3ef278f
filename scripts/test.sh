#!/usr/bin/env bash
# Builds and runs the whole test suite: the optimised build, then under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer;
# then runs each libFuzzer target for about 30 seconds on its committed seed
# corpus (fuzz/corpus/<name>, when clang is installed); then checks
# formatting. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets=(default asan tsan)
[ $# -gt 0 ] && presets=("$@")

for preset in "${presets[@]}"; do
  [ "$preset" = fuzz ] && continue
  echo "=== $preset ==="
  cmake --preset "$preset" -DKELU_BUILD_TESTS=ON >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

# The fuzz smoke: with no arguments, or when "fuzz" is named.
if [ $# -eq 0 ] || [[ " $* " == *" fuzz "* ]]; then
  if command -v clang++ >/dev/null 2>&1; then
    echo "=== fuzz ==="
    cmake --preset fuzz >/dev/null
    for corpus in fuzz/corpus/*/; do
      name=$(basename "$corpus")
      cmake --build --preset fuzz --target "kelu_fuzz_$name"
      mkdir -p "fuzz/corpus-work/$name"
      "build/fuzz/fuzz/kelu_fuzz_$name" -max_total_time=30 -max_len=1024 -print_final_stats=1 \
        -artifact_prefix="fuzz/corpus-work/$name-" \
        "fuzz/corpus-work/$name" "$corpus"
    done
  else
    echo "=== fuzz: skipped (no clang++) ==="
  fi
fi

echo "=== format ==="
git ls-files -z '*.c' '*.h' '*.cpp' '*.hpp' | xargs -0 clang-format --dry-run -Werror
echo "format: clean"
