#!/usr/bin/env bash
# Builds the library and the example program, then runs the example.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset default -DKELU_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target kelu_example
exec build/default/examples/kelu_example
