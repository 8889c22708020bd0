#!/bin/sh
# Writes the seed corpora of fuzz_disk_label and fuzz_ufs_reader with the real tools:
# sfdisk MBRs and fdisk disk labels, and a makefs UFS image. Run from the repository root.
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
labels=fuzz/corpus/fuzz_disk_label
ufs=fuzz/corpus/fuzz_ufs_reader
mkdir -p "$labels" "$ufs"

# A disk of 64 sectors with the given sfdisk lines; the seed keeps its first 4 sectors.
disk() {
    name=$1; shift
    rm -f "$work/d.img"; truncate -s 32K "$work/d.img"
    { printf 'label: dos\nunit: sectors\n'; for line in "$@"; do printf '%s%s\n' "$work/d.img" "$line"; done; } |
        sfdisk -q "$work/d.img"
}
keep() { head -c 2048 "$work/d.img" >"$labels/$1"; }

disk a5-labelled '1 : start=2, size=62, type=a5'
printf 'b\ny\nn\na\n\n\nw\nq\n' | fdisk -H 2 -S 16 "$work/d.img" >/dev/null 2>&1
keep a5-labelled
disk a9-after-a5 '1 : start=2, size=20, type=a5' '3 : start=30, size=30, type=a9'
keep a9-after-a5
disk two-a5 '1 : start=2, size=20, type=a5' '2 : start=30, size=30, type=a5'
keep two-a5
disk none '1 : start=2, size=62, type=83'
keep none

# A UFS image of a small tree: a file in direct blocks, one that needs an indirect
# block, and both kinds of symbolic link. The script opens the link, reads, seeks and reads.
# The large file holds zeros, so that its data costs the seed nothing: only sectors that
# are not all zeros are kept.
mkdir -p "$work/tree/boot"
printf 'a kernel\n' >"$work/tree/boot/korvel.gz"
head -c 53248 /dev/zero >"$work/tree/miniroot.fs"
ln -s boot/korvel.gz "$work/tree/relative"
ln -s "/$(printf './%.0s' $(seq 1 40))miniroot.fs" "$work/tree/long"
makefs -t ffs -o version=1,bsize=4096,fsize=512 -B le -M 128k "$work/fs.img" "$work/tree" >/dev/null
seed() {
    python3 - "$1" "$2" "$work/fs.img" <<'PY'
import struct, sys
path, out, image = sys.argv[1].encode() + b"\0", sys.argv[2], sys.argv[3]
ops = b"".join([b"\x00" + struct.pack("<I", 5000), b"\x05" + struct.pack("<I", 100),
                b"\x00" + struct.pack("<I", 60000), b"\x02" + bytes(4), b"\x03" + struct.pack("<I", 49000),
                b"\x00" + struct.pack("<I", 8000)])
script = path + ops
disk = open(image, "rb").read()
sectors = [disk[i:i + 512] for i in range(0, len(disk), 512)]
records = b"".join(bytes([n]) + data for n, data in enumerate(sectors) if any(data))
open(out, "wb").write(bytes([len(script)]) + script + records)
PY
}
seed /relative "$ufs/relative-link"
seed /long "$ufs/long-link"
