/* The UART the kernel reports on. */
#ifndef HANDOVER_SERIAL_H
#define HANDOVER_SERIAL_H

void serialInit(void);
void serialPut(char c);

#endif
