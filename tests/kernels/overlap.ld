/* Two loadable segments that overlap: the data is linked inside the code and table. */
ENTRY(_start)
PHDRS {
    text PT_LOAD;
    data PT_LOAD;
}
SECTIONS {
    . = 0xC0200000;
    .text : { *(.text*) *(.rodata*) *(.note.fixture) } :text
    .data 0xC0201000 : { *(.data*) } :data
    .bss : { *(.bss*) *(COMMON) } :data
}
