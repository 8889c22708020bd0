#!/bin/sh
# Writes the seed corpus of fuzz_elf_kernel with the GNU ARM tools: small kernels (so
# that a run stages them in a small page pool) with code, data and a cleared part,
# their symbol tables, and a stripped and a gapped variant. Run from the repository root.
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=fuzz/corpus/fuzz_elf_kernel
mkdir -p "$out"

cat >"$work/k.S" <<'ASM'
    .text
    .global _start
_start:
    ldr r0, =counter
    ldr r1, [r0]
    add r1, r1, #1
    str r1, [r0]
1:  b 1b
    .data
    .global counter
counter: .word 7
    .bss
    .global table
table: .space 0x180
ASM
cat >"$work/near.ld" <<'LD'
ENTRY(_start)
PHDRS { text PT_LOAD; data PT_LOAD; }
SECTIONS {
    . = 0xC0200000;
    .text : { *(.text*) } :text
    . = 0xC0201000;
    .data : { *(.data*) } :data
    .bss : { *(.bss*) } :data
}
LD
sed 's/0xC0201000/0xC0280000/' "$work/near.ld" >"$work/gap.ld"
arm-none-eabi-as -march=armv4 "$work/k.S" -o "$work/k.o"
link() { script=$1; shift; arm-none-eabi-ld -T "$work/$script" -z max-page-size=0x100 -z noseparate-code "$@" -o "$work/out.elf" "$work/k.o"; }
link near.ld && cp "$work/out.elf" "$out/segments.elf"
link near.ld --strip-all && cp "$work/out.elf" "$out/stripped.elf"
link gap.ld && cp "$work/out.elf" "$out/gap.elf"
