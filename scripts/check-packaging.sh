#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The library as others build and use it, each configuration checked the way
# its user would (build directories build/pkg-*):
#   release    the plain `cmake -DCMAKE_BUILD_TYPE=Release` build and its tests;
#              consumers against a fresh install of it, which holds no
#              Debian-specific file; the add_subdirectory consumer
#   static     BUILD_SHARED_LIBS=OFF with Debian's link-time optimisation
#              flags: consumers against its install
#   debian     the Debian packages, built twice from clean copies in two
#              directories and compared bit for bit (the second build runs
#              the tests); lintian on them; consumers, the version and every
#              exported function's manual page against the unpacked
#              packages; abidiff against the ABI baseline
#   host       the host flavour's Debian packages (build profile
#              pkg.kelu-util.host); lintian; a host program against them
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
  local prefix
  prefix=$(install_fresh build/pkg-release)
  if [ -n "$(find "$prefix" -path '*/share/doc/*' -name copyright)" ]; then
    echo "a plain install writes Debian's copyright files" >&2
    return 1
  fi
  tests/consumers/run.sh installed "$prefix"
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

lintian_clean() {  # DEBS_DIR: no error and no warning on the packages and their source
  lintian --pedantic --display-info --fail-on error,warning "$1"/*.changes "$1"/*.dsc \
    2> >(grep -v 'root privileges' >&2)
  echo "lintian: no error, no warning"
}
unpack() {  # DEBS_DIR: unpacks every package into a new directory, prints it
  local root
  root=$(mktemp -d "$scratch/root.XXXX")
  for deb in "$1"/*.deb; do
    dpkg-deb -x "$deb" "$root"
  done
  echo "$root"
}
manual_pages() {  # ROOT: `man 3 NAME` finds and formats every exported name, without a warning
  local name text
  for name in $(cat os_plat/modules/kelu_util/exports/*.sym); do
    text=$(MANWIDTH=80 man --warnings -M "$1/usr/share/man" 3 "$name" 2>&1) ||
      { echo "man 3 $name: $text" >&2; return 1; }
    if [[ $text == *warning* || $text != *"$name"* ]]; then
      echo "man 3 $name:" >&2
      echo "$text" | head -n 20 >&2
      return 1
    fi
  done
  echo "manual pages: every exported name"
}

run_debian() {
  scripts/check-reproducible.sh build/pkg-debian-first build/pkg-debian
  local debs=build/pkg-debian/debs
  lintian_clean $debs
  local runtime=($debs/libkelu-util1_*.deb)
  local depends
  depends=$(dpkg-deb -f "${runtime[0]}" Depends)
  if [[ $depends != *libisal2* || $depends != *libc6* || $depends != *libkelu-platform1* ]]; then
    echo "libkelu-util1: Depends: $depends" >&2
    return 1
  fi
  local root
  root=$(unpack $debs)
  tests/consumers/run.sh installed "$root/usr"
  scripts/check-version.sh "$root/usr"
  manual_pages "$root"
  scripts/abi-check.sh $debs
}

run_host() {
  DEB_BUILD_PROFILES=pkg.kelu-util.host scripts/build-debs.sh build/pkg-debian-host
  local debs=build/pkg-debian-host/debs
  local runtime=($debs/libkelu-util1_*.deb)
  local provides
  provides=$(dpkg-deb -f "${runtime[0]}" Provides)
  if compgen -G "$debs/libkelu-platform1_*" >/dev/null || [[ $provides != "libkelu-util1-host "* ]]; then
    echo "the host flavour ships the stand-in, or libkelu-util1 provides '$provides'" >&2
    return 1
  fi
  lintian_clean $debs
  tests/consumers/run.sh host "$(unpack $debs)/usr"
}

run_clang() {
  plain cmake -S . -B build/pkg-clang -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELU_WERROR=ON >/dev/null
  cmake --build build/pkg-clang -j 2
  run_tests build/pkg-clang
}

configurations=(release static debian host clang)
[ $# -gt 0 ] && configurations=("$@")
for configuration in "${configurations[@]}"; do
  echo "=== packaging: $configuration ==="
  start=$SECONDS
  "run_$configuration"
  echo "=== packaging: $configuration: ok ($((SECONDS - start)) s)"
done
