#!/bin/sh
# SPDX-License-Identifier: MIT
# kelu-cksum as a user meets it: compute, check, break and lose files, feed
# malformed lists, round-trip awkward names, fill the disk, misuse options.
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

"$tool" f big >sums
"$tool" --tag f >tagged
"$tool" <big >stdin.sums
"$tool" --tag <big >>stdin.sums
echo 'ff06bee9 21c06275 999999 big' >short
expect 'check' 0 'f: OK
big: OK
' '' "$tool" --check sums
expect 'no name, or -, is standard input, read once' 0 '-: OK
-: OK
-: OK
' '' "$tool" -c stdin.sums <big
expect 'a wrong length' 1 '' '' "$tool" -c --status short

printf 123456780 >f
expect 'a changed byte' 1 'f: FAILED
big: OK
' 'kelu-cksum: WARNING: 1 computed checksum did NOT match
' "$tool" -c sums
expect '--quiet prints failures only' 1 'f: FAILED
' 'kelu-cksum: WARNING: 1 computed checksum did NOT match
' "$tool" -c --quiet sums
expect 'a changed byte fails tagged lines, silently' 1 '' '' "$tool" -c --status tagged

rm f
expect 'a missing file' 1 'f: FAILED open or read
big: OK
' 'kelu-cksum: f: No such file or directory
kelu-cksum: WARNING: 1 listed file could not be read
' "$tool" -c sums
echo 'fc891918 e3069283 9 .' >>sums
expect '--ignore-missing skips only missing files' 1 'big: OK
.: FAILED open or read
' 'kelu-cksum: .: Is a directory
kelu-cksum: WARNING: 1 listed file could not be read
' "$tool" -c --ignore-missing sums
expect '--ignore-missing with nothing verified' 1 '' 'kelu-cksum: tagged: no file was verified
' "$tool" -c --ignore-missing tagged

# Comments, blank lines and a CR before the newline are allowed; lines 3, 5,
# 6 and 7 are malformed (empty name, bad count, long digest, bad escape).
printf '# comment\n\nff06bee9 21c06275 1000000 \nff06bee9 21c06275 1000000 big\r\n' >mixed
printf 'ff06bee9 21c06275 x big\nCRC32 (big) = ff06bee90\n\\ff06bee9 21c06275 1000000 b\\q\n' >>mixed
printf 'junk\n' >junk
expect 'malformed lines are counted' 0 'big: OK
' 'kelu-cksum: WARNING: 4 lines are improperly formatted
' "$tool" -c mixed
expect 'malformed lines under --strict' 1 'big: OK
' 'kelu-cksum: mixed: 3: improperly formatted checksum line
kelu-cksum: mixed: 5: improperly formatted checksum line
kelu-cksum: mixed: 6: improperly formatted checksum line
kelu-cksum: mixed: 7: improperly formatted checksum line
kelu-cksum: WARNING: 4 lines are improperly formatted
' "$tool" -c --strict -w mixed
expect 'no properly formatted line' 1 '' 'kelu-cksum: standard input: no properly formatted checksum lines found
' "$tool" -c --status <junk

newline=$(printf 'a\nb')
printf x >"$newline"
printf y >'c\d'
expect 'escaped names' 0 '\774bb014 a93c5f93 1 a\nb
\738aada3 5b57dc90 1 c\\d
' '' "$tool" "$newline" 'c\d'
"$tool" "$newline" 'c\d' >escaped
"$tool" --tag "$newline" >>escaped
expect 'escaped names read back' 0 '\a\nb: OK
c\d: OK
\a\nb: OK
\a\nb: OK
' '' "$tool" -c escaped

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
