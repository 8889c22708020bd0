@ The second-stage loader: runs from a copy in one physical page after the platform
@ has been left, with the MMU, the caches and interrupts off.
@
@ Assembled twice. Without PXA2X0 it is the SA-11x0 variant (ARMv4), which writes
@ every range to its destination as it is. With PXA2X0=1 it is the PXA2x0 variant
@ (XScale), which moves every destination and the kernel entry into the first SDRAM
@ bank: only the low 24 bits of the address survive.
@
@ Entry: r0 = hand-over block, r1 = first PageTag, r2 = initial stack pointer,
@ all physical. The routine is position-independent: it runs wherever the back end
@ copied it, so it holds no absolute address and no literal pool, and branches only
@ relative to itself.
@
@ PageTag: {next, src, dst, len}; next = 0xFFFFFFFF ends the chain, src = 0xFFFFFFFF
@ marks a range to be cleared.
@ Hand-over block words: entry, argc, argv, BootInfo.

        .syntax unified
        .arm
        .text
        .global secondStageLoader
        .type   secondStageLoader, %function

        .macro  toFirstBank reg
        .if PXA2X0
        bic     \reg, \reg, #0xFF000000
        orr     \reg, \reg, #0xA0000000
        .endif
        .endm

secondStageLoader:
        nop
        nop
        nop
        mov     sp, r2
        bl      walk                    @ never returns; the link is not used

@ r8 = hand-over block, r9 = current tag; per range r4 = next, r5 = src, r6 = dst,
@ r7 = len, r3 = end. r3 keeps the end of the last range for the stack rule.
walk:
        mov     r8, r0
        mov     r9, r1
nextTag:
        cmn     r9, #1
        beq     enterKernel
        ldmia   r9, {r4, r5, r6, r7}
        toFirstBank r6
        add     r3, r6, r7
        cmn     r5, #1
        beq     clear

@ Copy in pairs of words; the second word of a pair is stored only while the
@ range has room, so the source may be read up to 7 bytes past its end.
copy:
        ldmia   r5!, {r0, r1}
        str     r0, [r6], #4
        cmp     r6, r3
        strlo   r1, [r6], #4
        cmp     r6, r3
        blo     copy
        b       advance

@ Clear exactly [dst, end): bytes up to the first word boundary, whole words, then
@ the bytes of the last partial word. A range that ends inside a word never clears
@ the bytes behind it, which belong to the data staged before it.
clear:
        mov     r0, #0
        cmp     r6, r3
        bhs     advance
clearHead:
        tst     r6, #3
        beq     clearWords
        strb    r0, [r6], #1
        cmp     r6, r3
        blo     clearHead
        b       advance
clearWords:
        cmp     r6, r3
        bhs     advance
        sub     r1, r3, r6
        cmp     r1, #4
        blo     clearTail
        str     r0, [r6], #4
        b       clearWords
clearTail:
        strb    r0, [r6], #1
        cmp     r6, r3
        blo     clearTail

advance:
        mov     r9, r4
        b       nextTag

@ The kernel's stack starts 8 KiB behind the last range, on a 4 KiB boundary.
enterKernel:
        add     r3, r3, #0x2000
        bic     r3, r3, #0x0FF
        bic     sp, r3, #0xF00
        ldr     r4, [r8]                @ entry
        ldmib   r8, {r0, r1, r2}        @ argc, argv, BootInfo
        toFirstBank r4
        mov     pc, r4
hang:
        nop
        b       hang
        .size   secondStageLoader, . - secondStageLoader
