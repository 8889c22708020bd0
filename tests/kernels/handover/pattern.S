@ Read-only data that fills a few pages, so that the text and data span several
@ chunks of the chain; the kernel's checksum covers it.
        .section .rodata
        .global patternTable
        .global patternWords
        .align  2
patternTable:
        .set    value, 0x2545F491
        .rept   3000
        .word   value
        .set    value, (value * 1103515245 + 12345) & 0xFFFFFFFF
        .endr
patternWords:
        .word   3000
