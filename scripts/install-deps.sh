#!/usr/bin/env bash
# Installs the Debian packages that a task needs, by name:
#   build  the library, the tool and the example
#   test   the test suite, lint (clang-format, clang-tidy), the clang build,
#          the Debian packages and the ABI check
#   bench  the benchmarks and their reports
#   fuzz   the libFuzzer targets
# With no argument, all of them. Idempotent: when every package is present
# it installs nothing and prints nothing.
set -euo pipefail

declare -A needs=(
  [build]="build-essential cmake pkg-config libisal-dev"
  [test]="libgtest-dev libgmock-dev git clang clang-format clang-tidy abigail-tools dpkg-dev file"
  [bench]="libbenchmark-dev libboost-dev zlib1g-dev python3"
  [fuzz]="clang libclang-rt-14-dev"
)
tasks=("$@")
[ ${#tasks[@]} -eq 0 ] && tasks=(test bench fuzz)

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
