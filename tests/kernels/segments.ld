/* Three loadable segments: code, read-only data, and data with its cleared part. */
ENTRY(_start)
PHDRS {
    text PT_LOAD;
    rodata PT_LOAD;
    data PT_LOAD;
}
SECTIONS {
    . = 0xC0200000;
    .text : { *(.text*) } :text
    . = 0xC0210000;
    .rodata : { *(.rodata*) *(.note.fixture) } :rodata
    . = 0xC0220000;
    .data : { *(.data*) } :data
    .bss : { *(.bss*) *(COMMON) } :data
}
