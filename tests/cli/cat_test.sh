#!/bin/sh
# tembrel cat reads through the boot loader's sources: a gzip file comes out as
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
