/* A freestanding ARM kernel image for the loader tests: code, a read-only table, an
 * initialised variable and a cleared array, so that linking it gives several
 * segments, one of them with more memory than file bytes. */

extern const unsigned int table[];
extern const unsigned int tableWords;

unsigned int seed = 0x12345678;
unsigned int counters[2048];

void _start(void) {
    unsigned int sum = seed;
    for (unsigned int i = 0; i < tableWords; ++i) {
        sum += table[i];
        counters[i % 2048] ^= sum;
    }
    for (;;) {
    }
}
