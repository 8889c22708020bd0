/* The hand-over test kernel, linked at 0xC0200000: text and read-only data in one
 * segment, then the data segment, whose file part ends inside a word and whose
 * memory part goes on with the zeroed words. The checksum covers the text and the
 * initialised data; the global offset table, which the kernel moves when it runs
 * elsewhere, lies outside it. */
ENTRY(_start)

PHDRS {
    text PT_LOAD FLAGS(5);
    data PT_LOAD FLAGS(6);
}

SECTIONS {
    . = 0xC0200000;
    __text_check_start = .;
    .text : { *(.text.start) *(.text .text.*) } :text
    .rodata : { *(.rodata .rodata.*) . = ALIGN(4); } :text
    __text_check_end = .;
    . = ALIGN(0x1000);
    __data_check_start = .;
    .data : { *(.data .data.*) . = ALIGN(4); } :data
    __data_check_end = .;
    .got : { __got_start = .; *(.got .got.*) __got_end = .; } :data
    .checksum : { *(.checksum) } :data
    .tail : { *(.tail) } :data
    .bss : { *(.bss .bss.* COMMON) } :data
    _end = .;
    /DISCARD/ : { *(.ARM.exidx*) *(.ARM.attributes) *(.comment) }
}
