@ The entry of a snapshot: it puts the core in the mode the boot loader's thread had
@ at the jump and enters the switch with its four arguments, as the jump did. The
@ sandbox fills in the arguments and copies the boot loader's switch right behind
@ this block, so the code is position-independent.

        .syntax unified
        .arm
        .text
        .global snapshotShim
        .type   snapshotShim, %function
snapshotShim:
        msr     cpsr_c, #0x1F           @ System mode, interrupts enabled
        adr     r12, shimArguments
        ldmia   r12, {r0-r3}
        b       shimEnd                 @ the copied switch
        .size   snapshotShim, . - snapshotShim

        .global shimArguments
        .type   shimArguments, %object
shimArguments:
        .word   0, 0, 0, 0              @ hand-over block, first PageTag, stack, loader
        .size   shimArguments, . - shimArguments
shimEnd:
