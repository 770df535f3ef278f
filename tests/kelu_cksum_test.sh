#!/bin/sh
# SPDX-License-Identifier: MIT
# kelu-cksum as a user meets it: compute, escape awkward names, fill the
# disk, misuse options.
# Usage: kelu_cksum_test.sh PATH-TO-KELU-CKSUM PROJECT-VERSION
set -u
tool=$1
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failed=0

# expect NAME STATUS STDOUT STDERR COMMAND...: all three exactly as given.
expect() {
    name=$1 status=$2
    printf '%s' "$3" >want.out && printf '%s' "$4" >want.err && shift 4
    "$@" >got.out 2>got.err
    got=$?
    [ "$got" = "$status" ] && cmp -s want.out got.out && cmp -s want.err got.err && return
    echo "FAIL: $name: exit status $got, expected $status"
    diff want.out got.out; diff want.err got.err; failed=1
}

# The catalogue string, and 1 MB over several of the tool's read pieces,
# whose values come from ISA-L's crc32_ieee and crc32_iscsi.
printf 123456789 >f
yes 123456789 | head -c 1000000 >big
expect 'compute, past an unreadable file' 1 'fc891918 e3069283 9 f
ff06bee9 21c06275 1000000 big
' 'kelu-cksum: nothere: No such file or directory
' "$tool" f nothere big
expect 'unnamed standard input' 0 'ff06bee9 21c06275 1000000
' '' "$tool" <big
expect 'tagged, - is standard input' 0 'CRC32 (-) = fc891918
CRC32C (-) = e3069283
' '' "$tool" --tag - <f

newline=$(printf 'a\nb')
printf x >"$newline"
printf y >'c\d'
expect 'escaped names' 0 '\774bb014 a93c5f93 1 a\nb
\738aada3 5b57dc90 1 c\\d
' '' "$tool" "$newline" 'c\d'
expect 'write error' 1 '' 'kelu-cksum: write error: No space left on device
' sh -c '"$0" big >/dev/full' "$tool"

printf 123456789 >-x
expect '-- ends the options' 0 'fc891918 e3069283 9 -x
' '' "$tool" -- -x
expect 'unknown option' 1 '' "kelu-cksum: unrecognized option '--bogus'
Try 'kelu-cksum --help' for more information.
" "$tool" --bogus
expect '--version' 0 "kelu-cksum (libkelu_util) $2
" '' "$tool" --version
exit $failed
