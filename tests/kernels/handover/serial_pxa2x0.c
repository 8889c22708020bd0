/* The FFUART of the PXA2x0, a 16550 with registers 4 bytes apart. */
#include "serial.h"

#define FFUART 0x40100000u
#define THR (*(volatile unsigned int *)(FFUART + 0x00))
#define IER (*(volatile unsigned int *)(FFUART + 0x04))
#define LCR (*(volatile unsigned int *)(FFUART + 0x0C))
#define LSR (*(volatile unsigned int *)(FFUART + 0x14))
#define IER_UUE 0x40u
#define LSR_TDRQ 0x20u

void serialInit(void) {
    LCR = 3; /* 8 data bits, no parity, one stop bit */
    IER = IER_UUE;
}

void serialPut(char c) {
    while ((LSR & LSR_TDRQ) == 0) {
    }
    THR = (unsigned char)c;
}
