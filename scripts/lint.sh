#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The quick checks, before any long build: every version source says the
# same version (scripts/check-version.sh); formatting of every tracked C and
# C++ file (.clang-format); clang-tidy (.clang-tidy) on the library's
# sources, which must have no finding; the API reference, which must build
# without a Doxygen warning (every public name documented). clang-tidy reads
# the compilation database of build/tidy, a clang configuration of which
# only the reference is built.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "=== version ==="
scripts/check-version.sh

echo "=== format ==="
git ls-files -z '*.c' '*.h' '*.cpp' '*.hpp' | xargs -0 clang-format --dry-run -Werror
echo "format: clean"

echo "=== tidy ==="
cmake -S . -B build/tidy -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBUILD_TESTING=OFF -DKELU_BUILD_TOOLS=OFF -DKELU_BUILD_EXAMPLES=OFF -DKELU_BUILD_DOCS=ON >/dev/null
mapfile -t sources < <(git ls-files 'os_plat/modules/*.cpp' 'os_plat/modules/*.c')
clang-tidy -p build/tidy --quiet "${sources[@]}" 2> >(grep -v 'warnings generated' >&2)
echo "tidy: no findings"

echo "=== reference ==="
cmake --build build/tidy --target kelu_docs
echo "reference: every public name documented"
