#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages with dpkg-buildpackage -us -uc -b from a clean
# copy of the tree (the files git tracks or would track, as they are in the
# work tree: no build directory leaks in), and leaves the .deb files in
# WORK_DIR/debs (default build/debian), with the .changes that lintian reads,
# and the source package (.dsc) of the same copy. The copy is
# WORK_DIR/kelu-util-VERSION, its CMake build directory obj-x86_64-linux-gnu
# inside it.
# dpkg-buildpackage's own variables choose what is built, e.g.
#   DEB_BUILD_PROFILES=pkg.kelu-util.host   the host flavour
#   DEB_BUILD_OPTIONS=nocheck               without the tests
#   scripts/build-debs.sh [WORK_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-build/debian}
version=$(dpkg-parsechangelog -S Version)
source=$work/kelu-util-$version

rm -rf "$work"
mkdir -p "$source" "$work/debs"
git ls-files -z --cached --others --exclude-standard --deduplicate |
  tar --null --files-from=- --ignore-failed-read -c 2>/dev/null | tar -x -C "$source"

log=$work/build.log
(cd "$work" && dpkg-source --build "$(basename "$source")") >"$log" 2>&1
if ! (cd "$source" && dpkg-buildpackage -us -uc -b -j2) >>"$log" 2>&1; then
  tail -n 60 "$log" >&2
  echo "build-debs: dpkg-buildpackage failed; the whole log is $log" >&2
  exit 1
fi
mv "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$work"/*.dsc "$work"/*.tar.* "$work/debs/"
ls "$work"/debs/*.deb
