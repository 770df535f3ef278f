#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares the ABI of libkelu_util.so.1 as packaged with the committed
# baseline, abi/libkelu_util.so.1.abi, and fails on every difference abidiff
# reports: a removed, added or retyped function or variable, or a changed
# layout of a record the interface reaches (AvlNode, AvlTree, ListNode,
# SpinLock, ...). The library comes from the runtime package, its debug
# information from the package's -dbgsym (Debian's flags, source paths
# relative to the tree, so the dump does not depend on where it was built).
#   scripts/abi-check.sh [DEBS_DIR]           check the packages in DEBS_DIR
#   scripts/abi-check.sh --update [DEBS_DIR]  rewrite the baseline from them
# DEBS_DIR defaults to build/debian/debs, where scripts/build-debs.sh puts them.
set -euo pipefail
cd "$(dirname "$0")/.."
update=false
if [ "${1:-}" = --update ]; then
  update=true
  shift
fi
debs=${1:-build/debian/debs}
baseline=abi/libkelu_util.so.1.abi
runtime=("$debs"/libkelu-util1_*.deb)
debug=("$debs"/libkelu-util1-dbgsym_*.deb)
[ -e "${runtime[0]}" ] && [ -e "${debug[0]}" ] ||
  { echo "abi-check: no libkelu-util1 and -dbgsym packages in $debs; run scripts/build-debs.sh first" >&2; exit 2; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "${runtime[0]}" "$root"
dpkg-deb -x "${debug[0]}" "$root"
library=$(find "$root" -name 'libkelu_util.so.1.*' -type f)
dump() {
  abidw --no-corpus-path --no-comp-dir-path --no-show-locs --debug-info-dir "$root/usr/lib/debug" "$library"
}

if $update; then
  dump >"$baseline"
  echo "abi-check: wrote $baseline"
  exit 0
fi

dump >"$root/current.abi"
status=0
report=$(abidiff "$baseline" "$root/current.abi" 2>&1) || status=$?
# abidiff's status is a bit set: 1 error, 2 usage, 4 ABI change, 8 incompatible change.
if [ "$status" -eq 0 ]; then
  echo "abi-check: libkelu_util.so.1 matches $baseline"
  exit 0
fi
echo "$report" >&2
if [ $((status & 3)) -ne 0 ]; then
  echo "abi-check: abidiff failed (status $status)" >&2
elif [ $((status & 8)) -ne 0 ]; then
  echo "abi-check: INCOMPATIBLE change: it needs a new major version (SONAME)" >&2
else
  echo "abi-check: the ABI changed; if that is meant, bump the version and run scripts/abi-check.sh --update" >&2
fi
exit 1
