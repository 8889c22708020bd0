/* A kernel inside the SA-11x0 first bank, beyond the RAM a 32 MiB machine has. */
ENTRY(_start)
SECTIONS {
    . = 0xC4200000;
    .text : { *(.text*) *(.rodata*) *(.note.fixture) }
    .data : { *(.data*) }
    .bss : { *(.bss*) *(COMMON) }
}
