@ Entry of the hand-over test kernel. The second-stage loader enters here with
@ argc, argv and BootInfo in r0-r2 and a stack, with the MMU off.
@
@ The kernel is linked at 0xC0200000. On SA-11x0 machines that is where it runs; on
@ PXA2x0 machines the loader writes it into the first SDRAM bank, so it runs at
@ 0xA0200000. It is built position-independent, and before any C code runs the
@ global offset table is moved by the difference.

        .syntax unified
        .arm
        .section .text.start, "ax"
        .global _start
        .type   _start, %function
_start:
        adr     r4, _start              @ where the kernel runs
        ldr     r5, linkedStart         @ where it was linked
        sub     r3, r4, r5              @ the difference, the 4th argument
        ldr     r6, gotStart
        ldr     r7, gotEnd
        add     r6, r6, r3
        add     r7, r7, r3
1:      cmp     r6, r7
        bhs     2f
        ldr     r8, [r6]
        add     r8, r8, r3
        str     r8, [r6], #4
        b       1b
2:      bl      kernelMain              @ (argc, argv, BootInfo, difference)
        bl      exitKernel
3:      b       3b

linkedStart:    .word _start
gotStart:       .word __got_start
gotEnd:         .word __got_end
        .size   _start, . - _start

@ Ends the emulator with `status` (r0) through semihosting SYS_EXIT_EXTENDED, whose
@ parameter block is built on the stack.
        .text
        .global exitKernel
        .type   exitKernel, %function
exitKernel:
        sub     sp, sp, #8
        ldr     r1, =0x20026            @ ADP_Stopped_ApplicationExit
        str     r1, [sp]
        str     r0, [sp, #4]
        mov     r1, sp
        mov     r0, #0x20
        svc     0x123456
4:      b       4b
        .size   exitKernel, . - exitKernel
