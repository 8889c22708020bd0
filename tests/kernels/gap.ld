/* A note segment between two loadable ones. */
ENTRY(_start)
PHDRS {
    text PT_LOAD;
    note PT_NOTE;
    data PT_LOAD;
}
SECTIONS {
    . = 0xC0200000;
    .text : { *(.text*) *(.rodata*) } :text
    .note.fixture : { KEEP(*(.note.fixture)) } :text :note
    . = ALIGN(0x1000);
    .data : { *(.data*) } :data
    .bss : { *(.bss*) *(COMMON) } :data
}
