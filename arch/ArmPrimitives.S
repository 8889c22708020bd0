@ The processor primitives: the only code besides the second-stage loader and its
@ switch that touches privileged processor state. ARMv4, so that one build serves
@ the SA-11x0 and the PXA2x0. Arguments arrive in r0-r3, a result leaves in r0.

        .syntax unified
        .arm
        .text

        .macro  primitive name
        .global \name
        .type   \name, %function
\name:
        .endm

        .macro  endPrimitive name
        .size   \name, . - \name
        .endm

@ IRQ and FIQ are masked by CPSR bits 7 and 6.
primitive disableInterrupts
        mrs     r0, cpsr
        orr     r0, r0, #0xC0
        msr     cpsr_c, r0
        mov     pc, lr
endPrimitive disableInterrupts

primitive enableInterrupts
        mrs     r0, cpsr
        bic     r0, r0, #0xC0
        msr     cpsr_c, r0
        mov     pc, lr
endPrimitive enableInterrupts

primitive readCpsr
        mrs     r0, cpsr
        mov     pc, lr
endPrimitive readCpsr

@ Every CP15 read uses opcode 1 = 0, CRm = 0 and opcode 2 = 0.
        .macro  cp15Read name, crn
primitive \name
        mrc     p15, 0, r0, \crn, c0, 0
        mov     pc, lr
endPrimitive \name
        .endm

        cp15Read readCp15Id, c0
        cp15Read readCp15Control, c1
        cp15Read readCp15TranslationTableBase, c2
        cp15Read readCp15DomainAccess, c3
        cp15Read readCp15FaultStatus, c5
        cp15Read readCp15FaultAddress, c6
        cp15Read readCp15ProcessId, c13
        cp15Read readCp15Register14, c14

@ Cleans the data cache by reading one word per 32-byte line of a clean area as
@ large as the cache, which pushes every dirty line out.
primitive cleanDataCache
        ldr     r0, =cacheCleanArea
        ldr     r1, =dataCacheSize
        ldr     r1, [r1]
        add     r1, r0, r1
1:      cmp     r0, r1
        bhs     2f
        ldr     r2, [r0], #32
        b       1b
2:      mov     pc, lr
endPrimitive cleanDataCache
        .ltorg

@ Leaves the platform on SA-11x0 machines: r0 = hand-over block, r1 = first
@ PageTag, r2 = stack pointer, r3 = second-stage loader, all physical.
@ The four instructions from the control write on must follow one another: once
@ the MMU is off, only the instructions already fetched run at their old address.
primitive FlatJump_sa11x0
        mrs     r12, cpsr
        orr     r12, r12, #0xC0
        msr     cpsr_c, r12
        mov     r12, #0x2000            @ control: MMU, caches, write buffer and
        orr     r12, r12, #0x30         @ alignment check off, high vectors
        mcr     p15, 0, r12, c1, c0, 0
        mcr     p15, 0, r12, c7, c7, 0  @ invalidate both caches
        mcr     p15, 0, r12, c8, c7, 0  @ invalidate both TLBs
        mov     pc, r3
endPrimitive FlatJump_sa11x0
