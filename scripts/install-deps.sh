#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that a task needs, by name:
#   build  the library, the tool (and its manual page) and the examples
#   test   scripts/test.sh: the test suite, valgrind, coverage, lint
#          (clang-format, clang-tidy), the API reference (Doxygen), the clang
#          build, the Debian packages (debhelper, lintian, man-db for the
#          manual pages), the ABI check, and a short run of the benchmarks
#          (bench's packages)
#   fuzz   the libFuzzer targets
#   bench  the benchmarks and bench/report.py with its plots
# With no argument: build, test and fuzz. Idempotent: when every package is
# present it installs nothing and prints nothing.
set -euo pipefail

bench="libbenchmark-dev libboost-dev zlib1g-dev python3 python3-matplotlib"
declare -A needs=(
  [build]="build-essential cmake pkg-config libisal-dev help2man"
  [test]="git libgtest-dev libgmock-dev valgrind gcovr groff-base clang clang-format clang-tidy
          abigail-tools dpkg-dev file debhelper lintian doxygen man-db $bench"
  [fuzz]="clang libclang-rt-14-dev"
  [bench]="$bench"
)
tasks=("$@")
[ ${#tasks[@]} -eq 0 ] && tasks=(test fuzz)

packages=(${needs[build]})
for task in "${tasks[@]}"; do
  [ -n "${needs[$task]:-}" ] || { echo "install-deps: unknown task '$task'" >&2; exit 2; }
  packages+=(${needs[$task]})
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
