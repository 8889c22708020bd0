#!/bin/sh
# tembrel cat and info read through the boot loader's sources: a gzip file comes out as
# gzip -dc gives it, a plain file as it is, and a missing file fails.
set -eu
tembrel=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Storage Card"
seq 1 30000 > "$work/plain"
gzip -c "$work/plain" > "$work/Storage Card/korvel.gz"
cp "$work/plain" "$work/Storage Card/plain"

"$tembrel" cat --storage "$work" '\Storage Card\' korvel.gz > "$work/out" 2> "$work/err"
cmp "$work/out" "$work/plain"
"$tembrel" cat --storage "$work" '\Storage Card\' plain > "$work/out" 2> "$work/err"
cmp "$work/out" "$work/plain"
if "$tembrel" cat --storage "$work" '\Storage Card\' missing > "$work/out" 2> "$work/err"; then
    echo "a missing file was reported as read" >&2
    exit 1
fi
grep -q 'can.t open "\\Storage Card\\missing"' "$work/err"

# tembrel info stages a gzip kernel the way a boot does and lists what it staged.
kernel=$2
gzip -c "$kernel" > "$work/korvel.gz"
"$tembrel" info "$work/korvel.gz" > "$work/info"
grep -q '^file size: .* bytes$' "$work/info"
grep -q -- '->load 0xc0200000+0x00000064' "$work/info"
grep -q '^load link [0-9]*, zero clear link 1$' "$work/info"
if "$tembrel" info "$work/plain" > "$work/info"; then
    echo "a text file was staged as a kernel" >&2
    exit 1
fi
grep -q 'not a ELF file' "$work/info"
