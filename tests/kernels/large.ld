/* A kernel of 8 MiB in memory at 0xA0200000, most of it cleared at start-up. */
ENTRY(_start)
PHDRS {
    text PT_LOAD;
    data PT_LOAD;
}
SECTIONS {
    . = 0xA0200000;
    .text : { *(.text*) *(.rodata*) *(.note.fixture) } :text
    . = ALIGN(0x1000);
    .data : { *(.data*) } :data
    .bss : { *(.bss*) *(COMMON) . += 0x7F0000; } :data
}
