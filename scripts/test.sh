#!/usr/bin/env bash
# Builds and runs the whole test suite: the optimised build, then under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer;
# then checks formatting. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

presets=(default asan tsan)
[ $# -gt 0 ] && presets=("$@")

for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  cmake --preset "$preset" -DKELU_BUILD_TESTS=ON >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "=== format ==="
git ls-files -z '*.c' '*.h' '*.cpp' | xargs -0 clang-format --dry-run -Werror
echo "format: clean"
