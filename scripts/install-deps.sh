#!/usr/bin/env bash
# Installs the Debian packages the build, tests, benchmarks and fuzz targets
# need; with the argument "bench", also what bench/report.py draws its plots
# with. Idempotent: when every package is present it installs nothing and
# prints nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libisal-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libboost-dev
  clang libclang-rt-14-dev clang-format valgrind gcovr groff-base
  python3
)
if [ "${1:-}" = bench ]; then
  packages+=(python3-matplotlib)
fi

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
