#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the library and the example programs (C, then the same tour in
# C++), then runs both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset default -DKELU_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target kelu_example kelu_example_cpp
build/default/examples/kelu_example
echo "--- the same in C++ ---"
exec build/default/examples/kelu_example_cpp
