#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The library as others build and use it, each configuration checked the way
# its user would (build directories build/pkg-*):
#   release    the plain `cmake -DCMAKE_BUILD_TYPE=Release` build and its tests;
#              consumers against a fresh install of it; the add_subdirectory
#              consumer
#   static     BUILD_SHARED_LIBS=OFF with Debian's link-time optimisation
#              flags: consumers against its install
#   host       KELU_PLATFORM=host: a host program against its install
#   debian     the Debian packages (scripts/build-debs.sh, Debian's flags) and
#              their tests; consumers against the unpacked packages; abidiff
#              against the ABI baseline
#   clang      a clang build with KELU_WERROR and its tests
# Release configurations build without KELU_WERROR, as a packager would:
# optimisers' false positives must not break a user's build.
#   scripts/check-packaging.sh [CONFIGURATION...]   (default: all of them)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A plain build: no compiler flags from the environment.
plain() { env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS "$@"; }
install_fresh() {  # BUILD_DIR: installs it into a new temporary prefix, prints the prefix
  local prefix
  prefix=$(mktemp -d "$scratch/prefix.XXXX")
  cmake --install "$1" --prefix "$prefix" >/dev/null
  echo "$prefix"
}
quick_build() {  # BUILD_DIR CMAKE_ARGS...: the library and what an install needs, no tests
  local build=$1
  shift
  plain cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELU_WERROR=OFF -DBUILD_TESTING=OFF \
    -DKELU_BUILD_EXAMPLES=OFF "$@" >/dev/null
  cmake --build "$build" -j 2 >/dev/null
}

# The build's tests, less the header checks in consumers' builds, which do
# not depend on the build and which the default preset runs.
run_tests() {  # BUILD_DIR
  ctest --test-dir "$1" -j 2 --output-on-failure --timeout 300 -LE consumer-builds
}

run_release() {
  plain cmake -S . -B build/pkg-release -DCMAKE_BUILD_TYPE=Release -DKELU_WERROR=OFF >/dev/null
  cmake --build build/pkg-release -j 2
  run_tests build/pkg-release
  tests/consumers/run.sh installed "$(install_fresh build/pkg-release)"
  tests/consumers/run.sh subdirectory
}

run_static() {
  # As a distribution builds it: LTO bytecode beside the machine code, which
  # must not bring the library's internal names into the archive.
  local flags
  flags=$(DEB_BUILD_MAINT_OPTIONS=optimize=+lto dpkg-buildflags --get CFLAGS)
  quick_build build/pkg-static -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags"
  tests/consumers/run.sh installed "$(install_fresh build/pkg-static)"
}

run_host() {
  quick_build build/pkg-host -DKELU_PLATFORM=host
  tests/consumers/run.sh host "$(install_fresh build/pkg-host)"
}

run_debian() {
  scripts/build-debs.sh build/pkg-debian -DBUILD_TESTING=ON -DKELU_WERROR=OFF
  run_tests build/pkg-debian
  # dpkg-shlibdeps ran (CPack skips it with only a warning when it cannot),
  # and the runtime package declares its shared library.
  local runtime=(build/pkg-debian/debs/libkelu-util1_*.deb)
  local depends shlibs
  depends=$(dpkg-deb -f "${runtime[0]}" Depends)
  shlibs=$(dpkg-deb -I "${runtime[0]}" shlibs)
  if [[ $depends != *libisal2* || $depends != *libc6* || $shlibs != "libkelu_util 1 libkelu-util1 "* ]]; then
    echo "libkelu-util1: Depends: $depends; shlibs: $shlibs" >&2
    return 1
  fi
  local root=$scratch/debian-root
  mkdir -p "$root"
  for deb in build/pkg-debian/debs/*.deb; do
    dpkg-deb -x "$deb" "$root"
  done
  tests/consumers/run.sh installed "$root/usr"
  scripts/abi-check.sh build/pkg-debian/os_plat/modules/kelu_util/libkelu_util.so.1.0.0
}

run_clang() {
  plain cmake -S . -B build/pkg-clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELU_WERROR=ON >/dev/null
  cmake --build build/pkg-clang -j 2
  run_tests build/pkg-clang
}

configurations=(release static host debian clang)
[ $# -gt 0 ] && configurations=("$@")
for configuration in "${configurations[@]}"; do
  echo "=== packaging: $configuration ==="
  start=$SECONDS
  "run_$configuration"
  echo "=== packaging: $configuration: ok ($((SECONDS - start)) s)"
done
