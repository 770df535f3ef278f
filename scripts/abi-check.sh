#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compares the ABI of libkelu_util.so.1 with the committed baseline,
# abi/libkelu_util.so.1.abi, and fails on every difference abidiff reports: a
# removed, added or retyped function or variable, or a changed layout of a
# record the interface reaches (AvlNode, AvlTree, ListNode, SpinLock, ...).
#   scripts/abi-check.sh [LIBRARY]           check LIBRARY
#   scripts/abi-check.sh --update [LIBRARY]  rewrite the baseline from it
# LIBRARY defaults to the Release build of scripts/build-debs.sh (Debian's
# flags, with debug information and source paths relative to the tree, so
# the dump does not depend on where the tree was built).
set -euo pipefail
cd "$(dirname "$0")/.."
update=false
if [ "${1:-}" = --update ]; then
  update=true
  shift
fi
library=${1:-build/debian/os_plat/modules/kelu_util/libkelu_util.so.1.0.0}
baseline=abi/libkelu_util.so.1.abi
[ -e "$library" ] || { echo "abi-check: no $library; run scripts/build-debs.sh first" >&2; exit 2; }

dump() {
  abidw --no-corpus-path --no-comp-dir-path --no-show-locs "$library"
}

if $update; then
  dump >"$baseline"
  echo "abi-check: wrote $baseline"
  exit 0
fi

current=$(mktemp)
trap 'rm -f "$current"' EXIT
dump >"$current"
status=0
report=$(abidiff "$baseline" "$current" 2>&1) || status=$?
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
