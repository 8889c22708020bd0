/* Serial port 3 of the SA-11x0. */
#include "serial.h"

#define UART3 0x80050000u
#define UTCR3 (*(volatile unsigned int *)(UART3 + 0x0C))
#define UTDR (*(volatile unsigned int *)(UART3 + 0x14))
#define UTSR1 (*(volatile unsigned int *)(UART3 + 0x20))
#define UTCR3_TXE 0x02u
#define UTSR1_TNF 0x04u

void serialInit(void) { UTCR3 = UTCR3_TXE; }

void serialPut(char c) {
    while ((UTSR1 & UTSR1_TNF) == 0) {
    }
    UTDR = (unsigned char)c;
}
