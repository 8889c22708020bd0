@ A table of 2300 distinct words (more than two pages of payload), and a note that
@ the gap layout puts in a segment of its own.
        .section .rodata
        .global table
        .global tableWords
        .balign 4
tableWords:
        .word 2300
table:
        .set i, 0
        .rept 2300
        .word 0x9E370000 + i
        .set i, i + 1
        .endr

        .section .note.fixture, "a", %note
        .balign 4
        .word 8, 4, 1
        .asciz "Tembrel"
        .word 15
