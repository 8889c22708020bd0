#!/bin/sh
# End-to-end boots through tembrel: the real Parts stage a test kernel on a sandbox
# machine, the second-stage loader and the kernel run on the emulated core, and the
# kernel's own report decides each case.
set -u
tembrel=$1
kernels=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# card NAME KERNEL IMAGE: a storage root with a card holding korvel.gz (and miniroot.fs).
card() {
    rm -rf "$work/$1"
    mkdir -p "$work/$1/Storage Card"
    gzip -n -c "$kernels/$2" > "$work/$1/Storage Card/korvel.gz"
    if [ "$3" = plain ]; then cp "$kernels/$2" "$work/$1/Storage Card/korvel.gz"; fi
    gzip -n -c "$kernels/miniroot.fs" > "$work/$1/Storage Card/miniroot.fs"
}

# expect NAME STATUS PATTERN... -- ARGS: runs tembrel, checks its status and that each
# pattern occurs in its output, in order.
expect() {
    name=$1 status=$2
    shift 2
    patterns=""
    while [ "$1" != "--" ]; do patterns="$patterns$1
"; shift; done
    shift
    "$tembrel" boot "$@" > "$work/out" 2>&1 < /dev/null
    got=$?
    if [ "$got" -ne "$status" ]; then
        echo "FAIL $name: status $got, expected $status"; cat "$work/out"; failures=$((failures + 1)); return
    fi
    rest=$(cat "$work/out")
    if ! printf "%s" "$patterns" | while IFS= read -r p; do
        [ -z "$p" ] && continue
        case "$rest" in
            *"$p"*) rest=${rest#*"$p"} ;;
            *) echo "FAIL $name: missing (in order) \"$p\""; cat "$work/out"; exit 1 ;;
        esac
    done; then
        failures=$((failures + 1))
        return
    fi
    echo "ok   $name"
}

sa="--machine jornada720 --set platform=HP Jornada 720 (US/UK)"
pxa="--machine ws003sh --set platform=Sharp W-ZERO3 (WS003SH)"
dir='kernelDirectory=\Storage Card\'

card sa handover-sa11x0.elf gzip
expect "SA-11x0 gzip kernel" 0 "[WARNING] Data in memory will be lost." "BOOT START" "tembrel build number: 15" \
    "[progress] 10" "[Last chance...] Push YES to boot." "argv[0]=korvel.gz" "console=1 cpu=0x0c108000" "result: ok" -- \
    --machine jornada720 --storage "$work/sa" --set "platform=HP Jornada 720 (US/UK)" --set "$dir" --yes
card sa-plain handover-sa11x0.elf plain
expect "SA-11x0 plain kernel with options" 0 "argv[1]=v" "argv[2]=s" "argv[3]=-x" "result: ok" -- \
    --machine jornada720 --storage "$work/sa-plain" --set "platform=HP Jornada 720 (US/UK)" --set "$dir" \
    --set verbose=1 --set singleUser=1 --set "extraKernelOptions=-x" --set safetyMessage=0 --set pauseBeforeBoot=0
card pxa handover-pxa2x0.elf gzip
expect "PXA2x0 md image and serial console" 0 "argv[2]=m=miniroot.fs" "console=2 cpu=0x0c208000" "image: ok" "result: ok" -- \
    --machine ws003sh --storage "$work/pxa" --set "platform=Sharp W-ZERO3 (WS003SH)" --set "$dir" \
    --set rootDevice=md --set serialConsole=1 --yes
expect "Pause Before Boot answered No" 1 "[Last chance...] Push YES to boot." "[BOOT FAILED] Canceled by user." -- \
    --machine jornada720 --storage "$work/sa" --set "platform=HP Jornada 720 (US/UK)" --set "$dir" \
    --set safetyMessage=0 --no
expect "safety question answered No" 1 "[WARNING] Data in memory will be lost." -- \
    --machine jornada720 --storage "$work/sa" --set safetyMessage=1 --no
expect "stopped at the switch" 0 "left the platform: hand-over" -- \
    --machine jornada720 --storage "$work/sa" --yes --executor none
expect "SA-11x0 snapshot in QEMU collie" 0 "snapshot written to" "--- kernel UART (QEMU) ---" "result: ok" \
    "kernel exited with status 0" -- --machine jornada720 --storage "$work/sa" --set safetyMessage=0 --yes --qemu
expect "PXA2x0 snapshot in QEMU mainstone" 0 "snapshot written to" "image: ok" "result: ok" \
    "kernel exited with status 0" -- --machine ws003sh --storage "$work/pxa" --yes --qemu
expect "console saved to bootlog.txt" 0 "log file is \\Storage Card\\bootlog.txt" "result: ok" -- \
    --machine jornada720 --storage "$work/sa" --yes --log
grep -q "BOOT START" "$work/sa/Storage Card/bootlog.txt" &&
    grep -q "tembrel build number: 15" "$work/sa/Storage Card/bootlog.txt" &&
    ! grep -q "\[progress\] 0" "$work/out" ||
    { echo "FAIL: the console did not go to bootlog.txt"; failures=$((failures + 1)); }
# The sandbox warns of what the device cannot know, and the boot goes on as the
# device's would.
expect "a platform of another processor" 0 \
    "warning: the platform \"Sharp W-ZERO3 (WS003SH)\" has a PXA270 processor, but the simulated HP Jornada 720" \
    "BOOT START" "left the platform" -- \
    --machine jornada720 --storage "$work/sa" --set "platform=Sharp W-ZERO3 (WS003SH)" --yes --executor none
card beyond ../beyond.elf gzip
expect "kernel beyond the installed RAM" 1 "left the platform" \
    "warning: 7 ranges, from range 0 (0xc4200000+0xff0), beyond the 32 MiB of RAM at 0xc0000000" \
    "the run stopped: write to unmapped address 0xc4200000" -- \
    --machine jornada720 --storage "$work/beyond" --set "platform=HP Jornada 720 (US/UK)" --set "$dir" --yes

expect "kernel not on the card" 1 "[BOOT FAILED] Can't open kernel image." -- \
    --machine jornada720 --storage "$work/sa" --set "kernelName=missing.gz" --yes

# The settings of the last attempt are on the card for the next run.
grep -q . "$work/sa/Storage Card/tembrel.cnf" || { echo "FAIL: no configuration file"; failures=$((failures + 1)); }
"$tembrel" settings --storage "$work/sa" > "$work/settings"
grep -q 'kernelName          missing.gz' "$work/settings" || { echo "FAIL: settings not kept"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ]
