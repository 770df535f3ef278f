#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian packages are reproducible: two builds of the same tree, in two
# directories of different depth, give bit-identical .deb files. The build
# date comes from debian/changelog (dpkg-buildpackage sets SOURCE_DATE_EPOCH
# from it), paths in the debug information are relative to the tree.
# The first build skips the tests (DEB_BUILD_OPTIONS=nocheck, which must not
# change what is shipped, and is checked here too); the second is the full
# build, whose packages the other packaging checks then use.
#   scripts/check-reproducible.sh [FIRST_DIR [SECOND_DIR]]
#   (default build/debian-repro/first and build/debian)
set -euo pipefail
cd "$(dirname "$0")/.."
first=${1:-build/debian-repro/first}
second=${2:-build/debian}

DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" scripts/build-debs.sh "$first" >/dev/null
scripts/build-debs.sh "$second" >/dev/null

names() { (cd "$1" && ls -- *.deb); }
if [ "$(names "$first/debs")" != "$(names "$second/debs")" ]; then
  echo "reproducible: the two builds made different packages:" >&2
  diff <(names "$first/debs") <(names "$second/debs") >&2
  exit 1
fi
status=0
for deb in "$second"/debs/*.deb; do
  name=$(basename "$deb")
  if cmp -s "$first/debs/$name" "$deb"; then
    echo "reproducible: $name $(sha256sum <"$deb" | cut -c1-16)"
  else
    echo "reproducible: $name DIFFERS between $first and $second" >&2
    status=1
  fi
done
exit $status
