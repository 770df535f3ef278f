#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs programs against libkelu_util as an outside project would,
# in a fresh directory, with nothing of the project in the system directories:
#   run.sh installed PREFIX  the C example as C99 through pkg-config, the C++
#                            one through find_package, a program with names
#                            of its own that the library uses internally, and
#                            kelu-cksum, against the tree installed or
#                            unpacked at PREFIX; a static install's programs
#                            must need no shared object of this project
#   run.sh host PREFIX       a program that is the platform itself, against a
#                            KELU_PLATFORM=host install
#   run.sh subdirectory      the C++ example, adding this tree as a subproject
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH PKG_CONFIG_PATH CMAKE_PREFIX_PATH

fail() { echo "consumers: $*" >&2; exit 1; }

if pkg-config --exists kelu_util || [[ $(ldconfig -p) == *libkelu_* ]] ||
   compgen -G '/usr/include/kelu_util' >/dev/null || compgen -G '/usr/local/include/kelu_util' >/dev/null; then
  fail "a copy of the project is installed in the system directories"
fi

# Sets pc_dir and lib_dir for the tree at $1.
find_tree() {
  local pc
  pc=$(find "$1" -name kelu_util.pc -path '*/pkgconfig/*' | head -n 1)
  [ -n "$pc" ] || fail "no kelu_util.pc under $1"
  pc_dir=$(dirname "$pc")
  lib_dir=$(PKG_CONFIG_PATH=$pc_dir pkg-config --variable=libdir kelu_util)
  [ -e "$lib_dir/libkelu_util.so" ] || [ -e "$lib_dir/libkelu_util.a" ] ||
    fail "pkg-config's libdir $lib_dir has no libkelu_util"
}

c_program() {  # SOURCE [pkg-config options]: builds it as C99 into $work, and runs it
  local source=$1
  shift
  local flags program
  flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs "$@" kelu_util)
  program=$work/$(basename "$source" .c)
  # It links only when the libraries leave no name unresolved: for a host
  # install, when the library needs nothing but the three platform functions
  # the program defines.
  # shellcheck disable=SC2086 # pkg-config's output is a list of words
  cc -std=c99 -pedantic-errors -Wall -Wextra -Werror "$source" $flags \
    -Wl,--no-allow-shlib-undefined -Wl,-rpath,"$lib_dir" -o "$program"
  "$program"
}

hardened() {  # ELF_FILE...: each has full RELRO and BIND_NOW
  for file in "$@"; do
    [[ $(readelf -dW "$file") == *BIND_NOW* && $(readelf -lW "$file") == *GNU_RELRO* ]] ||
      fail "$file is not linked with full RELRO and BIND_NOW"
  done
}

cxx_program() {  # [cmake options]: configures, builds and runs cxx/
  cmake -S "$here/cxx" -B "$work/cxx" "$@" >/dev/null
  cmake --build "$work/cxx" -j 2 >/dev/null
  "$work/cxx/example" | diff -u "$source_dir/tests/cxx/example.expected" - || fail "the C++ example's tour differs"
}

case "${1:-}" in
  installed)
    prefix=$(cd "$2" && pwd)
    case "$prefix" in /usr | /usr/local) fail "install into a temporary prefix, not $prefix" ;; esac
    find_tree "$prefix"
    programs=("$work/example" "$work/own_names" "$work/cxx/example")
    if [ -e "$lib_dir/libkelu_util.so" ]; then
      hardened "$lib_dir"/libkelu_util.so.1
      link=()
    else
      nm --extern-only --defined-only --format=just-symbols "$lib_dir/libkelu_util.a" | sort >"$work/defined"
      sort "$source_dir"/os_plat/modules/kelu_util/exports/*.sym >"$work/exported"
      diff -u "$work/exported" "$work/defined" || fail "the static library defines other names"
      link=(--static)
    fi
    c_program "$source_dir/examples/example.c" "${link[@]}"
    c_program "$here/own_names.c" "${link[@]}"
    cxx_program -DCMAKE_PREFIX_PATH="$prefix"
    if [ -x "$prefix/bin/kelu-cksum" ]; then
      hardened "$prefix/bin/kelu-cksum"
      sums=$(printf 123456789 | "$prefix/bin/kelu-cksum")
      [ "$sums" = "fc891918 e3069283 9" ] || fail "kelu-cksum printed '$sums'"
      echo "kelu-cksum: ok"
      programs+=("$prefix/bin/kelu-cksum")
    fi
    if [ ${#link[@]} -gt 0 ]; then
      for program in "${programs[@]}"; do
        [[ $(readelf -dW "$program") != *libkelu_* ]] ||
          fail "$program needs a shared object of this project"
      done
      echo "static programs: no shared object of this project needed"
    fi
    ;;
  host)
    find_tree "$2"
    library=$lib_dir/libkelu_util.so
    [ -z "$(find "$2" -name 'libkelu_platform*')" ] || fail "a host install carries the stand-in"
    [[ $(readelf -dW "$library") =~ RUNPATH|RPATH|libkelu_platform ]] && fail "the library names a platform library"
    undefined=$(nm -D --undefined-only --format=just-symbols "$library" | grep -E 'qxlog|vemo' | sort | tr '\n' ' ')
    [ "$undefined" = "do_vemo_spinlock_lock do_vemo_spinlock_unlock qxlog " ] ||
      fail "platform names left undefined: $undefined"
    c_program "$here/host_consumer.c"
    ;;
  subdirectory)
    cxx_program -DKELU_SOURCE_DIR="$source_dir"
    ;;
  *)
    sed -n '3,13p' "$0" >&2
    exit 2
    ;;
esac
