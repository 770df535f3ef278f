#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages (libkelu-util1, libkelu-util-dev,
# libkelu-platform-stub1, kelu-cksum) into BUILD_DIR/debs: configures
# BUILD_DIR (default build/debian) for /usr with Debian's compiler and linker
# flags, builds it and runs CPack. Further arguments go to cmake, e.g.
# -DKELU_PLATFORM=host (then there is no stand-in package and no tool).
#   scripts/build-debs.sh [BUILD_DIR [CMAKE_ARGS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/debian}
shift || true

eval "$(dpkg-buildflags --export=sh)"
# CMake reads CFLAGS, CXXFLAGS and LDFLAGS but not CPPFLAGS (which carries
# _FORTIFY_SOURCE); debhelper hands them over the same way.
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B "$build" --fresh -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$build" -j 2
rm -rf "$build/debs"
(cd "$build" && cpack -G DEB -B "$PWD/debs" >/dev/null)
ls "$build"/debs/*.deb
