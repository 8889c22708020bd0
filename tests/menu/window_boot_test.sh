#!/bin/sh
# A boot pressed in the window reaches the test kernel: tembrel.exe on a sandbox
# Jornada 720 with the test kernel on its card; Boot pressed and every question
# answered Yes; the snapshot it writes at the switch then boots in QEMU's collie
# machine, where the kernel checks what it was handed.
#   window_boot_test.sh WINE_RUN PREFIX BUILD_DIR SOURCE_DIR
set -eu
wine_run=$1
prefix=$2
build=$3
source=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$source/demo/storage" "$work/storage"
gzip -9 -n -c "$build/tests/kernels/handover/handover-sa11x0.elf" > "$work/storage/Storage Card/korvel.gz"

status=0
"$wine_run" "$prefix" "$build/tests/menu/window_driver.exe" boot -- "$build/desktop/tembrel.exe" \
    --machine jornada720 --storage "$work/storage" --snapshot "$work/snapshot.elf" \
    > "$work/window.out" 2> "$work/window.err" || status=$?
cat "$work/window.out" "$work/window.err"
[ "$status" -eq 0 ] || { echo "FAIL: tembrel.exe ended with $status"; exit 1; }
grep -q "^box: WARNING: Data in memory will be lost" "$work/window.err" || { echo "FAIL: no safety question"; exit 1; }
grep -q "^kernel entered at 0x" "$work/window.out" || { echo "FAIL: no kernel-entry report"; exit 1; }

qemu_status=0
timeout 60 qemu-system-arm -M collie -display none -monitor none -serial null -serial null -serial stdio \
    -semihosting-config enable=on,target=native -no-reboot \
    -device "loader,file=$work/snapshot.elf,cpu-num=0" > "$work/qemu.out" 2>&1 || qemu_status=$?
cat "$work/qemu.out"
[ "$qemu_status" -eq 0 ] || { echo "FAIL: the kernel in QEMU ended with $qemu_status"; exit 1; }
grep -q "result: ok" "$work/qemu.out" || { echo "FAIL: the kernel did not report success"; exit 1; }

# Settings that name the W-ZERO3, whose processor the Jornada 720 does not have: the
# sandbox says so on standard error when Boot is pressed, and the boot goes on.
python3 -c '
import struct, sys
path = sys.argv[1]
record = bytearray(open(path, "rb").read())
record[1064:1072] = struct.pack("<II", 0x0C208000, 0x01040100)
open(path, "wb").write(record)
' "$work/storage/Storage Card/tembrel.cnf"
"$wine_run" "$prefix" "$build/tests/menu/window_driver.exe" boot -- "$build/desktop/tembrel.exe" \
    --machine jornada720 --storage "$work/storage" --snapshot "$work/snapshot2.elf" \
    > "$work/window.out" 2> "$work/window.err" || true
grep -q '^warning: the platform "Sharp W-ZERO3 (WS003SH)" has a PXA270 processor, but the simulated HP Jornada 720' \
    "$work/window.err" || { cat "$work/window.err"; echo "FAIL: no warning of the platform's processor"; exit 1; }
echo "PASS"
