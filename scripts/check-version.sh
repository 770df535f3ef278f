#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every place that states the release's version says the same one: project()
# in CMakeLists.txt (the source of the version header and kelu_util.pc, whose
# templates must take it from there), the first entry of debian/changelog and
# the first section of CHANGELOG.md, which must carry a date like every other
# section. With ROOT (an installed or unpacked tree), also the version header,
# kelu_util.pc and the CMake package found under it.
#   scripts/check-version.sh [ROOT]
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "check-version: $*" >&2; exit 1; }

version=$(sed -n 's/^project(kelu_util VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no MAJOR.MINOR.PATCH in project() of CMakeLists.txt"

module=os_plat/modules/kelu_util
grep -q '^#define KELU_UTIL_VERSION_STRING "@PROJECT_VERSION@"$' "$module/include/kelu_util_version.h.in" ||
  fail "kelu_util_version.h.in does not take the version from project()"
grep -q '^Version: @PROJECT_VERSION@$' "$module/kelu_util.pc.in" ||
  fail "kelu_util.pc.in does not take the version from project()"

debian=$(dpkg-parsechangelog -l debian/changelog -S Version)
[ "$debian" = "$version" ] || fail "debian/changelog says $debian, project() $version"

mapfile -t sections < <(grep '^## ' CHANGELOG.md)
[[ ${sections[0]:-} == "## $version - "* ]] || fail "CHANGELOG.md's first section is '${sections[0]:-}', not $version"
for section in "${sections[@]}"; do
  [[ $section =~ ^##\ [0-9]+\.[0-9]+\.[0-9]+\ -\ [0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] ||
    fail "CHANGELOG.md: '$section' is not '## MAJOR.MINOR.PATCH - YYYY-MM-DD'"
done

if [ $# -gt 0 ]; then
  root=$1
  header=$(find "$root" -name kelu_util_version.h -path '*/kelu_util/*' | head -n 1)
  pc=$(find "$root" -name kelu_util.pc | head -n 1)
  cmake_version=$(find "$root" -name kelu_utilConfigVersion.cmake | head -n 1)
  [ -n "$header" ] && [ -n "$pc" ] && [ -n "$cmake_version" ] || fail "no header, .pc or CMake package under $root"
  grep -q "^#define KELU_UTIL_VERSION_STRING \"$version\"$" "$header" || fail "$header is not $version"
  grep -q "^Version: $version$" "$pc" || fail "$pc is not $version"
  grep -q "^set(PACKAGE_VERSION \"$version\")$" "$cmake_version" || fail "$cmake_version is not $version"
fi
echo "check-version: $version everywhere${1:+ (and under $1)}"
