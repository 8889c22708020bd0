@ Leaves the platform on PXA2x0 machines and enters the second-stage loader.
@ r0 = hand-over block, r1 = first PageTag, r2 = stack pointer, r3 = second-stage
@ loader, all physical; r0-r2 reach the loader untouched. XScale needs the pipeline
@ drained (a no-operation and a branch to the next instruction) before a CP15
@ change is sure to have taken effect.

        .syntax unified
        .arm
        .text
        .global FlatJump_pxa2x0
        .type   FlatJump_pxa2x0, %function

FlatJump_pxa2x0:
        mrs     r12, cpsr
        orr     r12, r12, #0xC0         @ IRQ and FIQ off
        msr     cpsr_c, r12
        mcr     p15, 0, r12, c7, c7, 0  @ invalidate both caches
        nop
        b       1f
1:      mov     r12, #0x2000            @ control: MMU, caches, write buffer and
        orr     r12, r12, #0x30         @ alignment check off, high vectors
        mcr     p15, 0, r12, c1, c0, 0
        mcr     p15, 0, r12, c8, c7, 0  @ invalidate both TLBs
        nop
        b       2f
2:      mov     pc, r3
        .size   FlatJump_pxa2x0, . - FlatJump_pxa2x0
