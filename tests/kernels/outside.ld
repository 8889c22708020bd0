/* A kernel linked where no DRAM bank of either processor family lies. */
ENTRY(_start)
SECTIONS {
    . = 0x30200000;
    .text : { *(.text*) *(.rodata*) *(.note.fixture) }
    .data : { *(.data*) }
    .bss : { *(.bss*) *(COMMON) }
}
