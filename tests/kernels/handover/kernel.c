/* The hand-over test kernel: it checks what the boot loader handed it, reports over
 * the UART and ends the emulator with a status that names the first failed check.
 *
 * It is linked at 0xC0200000 and runs wherever the second-stage loader put it;
 * `difference` is the run address minus the link address. Pointers it receives
 * (argv, BootInfo) are physical and used as they are. Link-time addresses of its own
 * layout (the symbol block, the image) are moved by `difference`. */
#include "serial.h"

enum Status {
    ok = 0,
    badArgc = 1,
    badArgv = 2,
    badLength = 3,
    badMagic = 4,
    badFramebuffer = 5,
    badConsole = 6,
    badPlatform = 7,
    badTimeZone = 8,
    badChecksum = 9,
    badBss = 10,
    badDataTail = 11,
    badSymbols = 12,
    badImage = 13,
};

struct BootInfo {
    unsigned short length;
    unsigned short reserved;
    unsigned int magic;
    unsigned int framebufferAddress;
    short lineBytes;
    short width;
    short height;
    short framebufferType;
    short console;
    unsigned short unused;
    unsigned int cpuCode;
    unsigned int machineCode;
    int timeZone;
};

/* Filled in after linking with the sum of the words of the text and the data. */
__attribute__((section(".checksum"), used)) volatile unsigned int kernelChecksum = 0;

/* The last bytes of file data in the data segment: the clear behind it starts in
 * their word. */
__attribute__((section(".tail"), used)) volatile unsigned char dataTail[7] = {0x54, 0x41, 0x49, 0x4C, 0x21, 0x3F, 0x7E};

/* Initialised data, which the checksum covers. */
volatile unsigned int dataWords[16] = {0x0BADF00D, 1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610, 987};

/* More than a page of zeroed memory, behind the tail. */
unsigned int bssWords[5000];

extern const unsigned int patternTable[];
extern const unsigned int patternWords;
extern const unsigned int __text_check_start[];
extern const unsigned int __text_check_end[];
extern const unsigned int __data_check_start[];
extern const unsigned int __data_check_end[];
extern const unsigned char _end[];
extern int kernelMain(int argc, const char* const* argv, const struct BootInfo* info, unsigned int difference);
extern void exitKernel(int status);

static enum Status firstFailure = ok;

static void fail(enum Status status) {
    if (firstFailure == ok) firstFailure = status;
}

static void put(const char* text) {
    while (*text != 0) {
        if (*text == '\n') serialPut('\r');
        serialPut(*text++);
    }
}

static void putHex(unsigned int value) {
    put("0x");
    for (int shift = 28; shift >= 0; shift -= 4) serialPut("0123456789abcdef"[(value >> shift) & 0xF]);
}

/* Decimal without division, which the processors lack. */
static void putDecimal(int value) {
    static const unsigned int powers[] = {1000000000, 100000000, 10000000, 1000000, 100000, 10000, 1000, 100, 10, 1};
    unsigned int n = (unsigned int)value;
    if (value < 0) {
        serialPut('-');
        n = 0u - n;
    }
    int started = 0;
    for (unsigned int i = 0; i < sizeof powers / sizeof powers[0]; ++i) {
        char digit = '0';
        while (n >= powers[i]) {
            n -= powers[i];
            ++digit;
        }
        if (digit != '0' || started || powers[i] == 1) {
            serialPut(digit);
            started = 1;
        }
    }
}

static void putField(const char* name, int value) {
    put(" ");
    put(name);
    put("=");
    putDecimal(value);
}

static void putHexField(const char* name, unsigned int value) {
    put(" ");
    put(name);
    put("=");
    putHex(value);
}

static void verdict(const char* what, int good, enum Status status) {
    put(what);
    put(good ? ": ok\n" : ": FAILED\n");
    if (!good) fail(status);
}

static int equal(const char* a, const char* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

static unsigned int word(const unsigned char* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | (unsigned int)at[3] << 24;
}

/* The argument vector lies right behind the BootInfo block in the hand-over page:
 * 16 pointer slots, then the strings, all inside the page. */
static void checkArguments(int argc, const char* const* argv, const struct BootInfo* info) {
    put("argc=");
    putDecimal(argc);
    put("\n");
    if (argc < 1 || argc > 16) {
        fail(badArgc);
        return;
    }
    const char* areaStart = (const char*)argv + 64;
    const char* areaEnd = (const char*)argv + 4028;
    int good = (const void*)argv == (const void*)((const char*)info + sizeof *info);
    for (int i = 0; i < argc && good; ++i) {
        const char* text = argv[i];
        good = text >= areaStart && text < areaEnd;
        const char* end = text;
        while (good && end < areaEnd && *end != 0) {
            good = *end >= 0x20 && *end < 0x7F;
            ++end;
        }
        good = good && end < areaEnd && (i > 0 || end > text);
        if (!good) break;
        put("argv[");
        putDecimal(i);
        put("]=");
        put(text);
        put("\n");
        // A kernel name is a name, not a local path; an HTTP name is the request path.
        for (const char* c = text; i == 0 && *c != 0; ++c) good = good && *c != '\\';
    }
    verdict("argv", good, badArgv);
}

static void checkBootInfo(const struct BootInfo* info) {
    put("bootinfo:");
    putField("length", info->length);
    putHexField("magic", info->magic);
    putHexField("fb", info->framebufferAddress);
    putField("linebytes", info->lineBytes);
    putField("width", info->width);
    putField("height", info->height);
    putField("type", info->framebufferType);
    putField("console", info->console);
    putHexField("cpu", info->cpuCode);
    putHexField("machine", info->machineCode);
    putField("timezone", info->timeZone);
    put("\n");
    if (info->length != 36) fail(badLength);
    if (info->magic != 0x13536135 || info->reserved != 0 || info->unused != 0) fail(badMagic);
    int type = info->framebufferType;
    int knownType = type == 0 || type == 2 || type == 3 || type == 4 || type == 5 || type == 6 || type == 8 || type == 10;
    int lineFits = info->lineBytes == 0 || info->lineBytes * 8 >= info->width;
    if (!knownType || info->width <= 0 || info->height <= 0 || !lineFits) fail(badFramebuffer);
    if (info->console != 1 && info->console != 2) fail(badConsole);
    if ((info->cpuCode & 0xFFF00000u) != PROCESSOR_FAMILY || info->machineCode == 0) fail(badPlatform);
    if (info->timeZone < -1440 || info->timeZone > 1440) fail(badTimeZone);
}

static void checkImage(void) {
    unsigned int sum = 0;
    for (const unsigned int* w = __text_check_start; w < __text_check_end; ++w) sum += *w;
    for (const volatile unsigned int* w = __data_check_start; w < __data_check_end; ++w) sum += *w;
    verdict("checksum", sum == kernelChecksum, badChecksum);
    int zero = 1;
    for (unsigned int i = 0; i < sizeof bssWords / sizeof bssWords[0]; ++i) zero = zero && bssWords[i] == 0;
    verdict("bss", zero, badBss);
    static const unsigned char tail[7] = {0x54, 0x41, 0x49, 0x4C, 0x21, 0x3F, 0x7E};
    int intact = 1;
    for (int i = 0; i < 7; ++i) intact = intact && dataTail[i] == tail[i];
    verdict("data tail", intact, badDataTail);
}

struct SectionHeader {
    unsigned int name, type, flags, address, offset, size, link, info, alignment, entrySize;
};

/* The symbol block behind the kernel: an ELF header without program headers, the
 * section headers with offsets inside the block, the section names, the symbols and
 * their names. Returns the block's size, or 0 when there is none or it is broken. */
static unsigned int checkSymbols(const unsigned char* block, unsigned int difference) {
    if (block[0] != 0x7F || block[1] != 'E' || block[2] != 'L' || block[3] != 'F') {
        put("ksyms: none\n");
        return 0;
    }
    unsigned int entry = word(block + 24), programHeaders = word(block + 28), sections = word(block + 32);
    unsigned int phnum = block[44] | block[45] << 8, shnum = block[48] | block[49] << 8, shstrndx = block[50] | block[51] << 8;
    int good = entry == 0 && programHeaders == 0 && sections == 52 && phnum == 0 && shstrndx < shnum;
    const struct SectionHeader* headers = (const struct SectionHeader*)(block + 52);
    const char* names = good ? (const char*)block + headers[shstrndx].offset : 0;
    const struct SectionHeader* symtab = 0;
    const struct SectionHeader* strtab = 0;
    for (unsigned int i = 0; good && i < shnum; ++i) {
        if (equal(names + headers[i].name, ".symtab")) symtab = &headers[i];
        if (equal(names + headers[i].name, ".strtab")) strtab = &headers[i];
    }
    good = good && symtab != 0 && strtab != 0 && strtab->offset == ((symtab->offset + symtab->size + 3) & ~3u);
    unsigned int found = 0;
    unsigned int count = good ? symtab->size / 16 : 0;
    for (unsigned int i = 0; i < count; ++i) {
        const unsigned char* symbol = block + symtab->offset + 16 * i;
        const char* name = (const char*)block + strtab->offset + word(symbol);
        if (equal(name, "kernelMain") && word(symbol + 4) == (unsigned int)kernelMain - difference) found = 1;
    }
    good = good && found;
    put("ksyms: ");
    put(good ? "ok" : "FAILED");
    putField("symbols", (int)count);
    put("\n");
    if (!good) fail(badSymbols);
    return good ? strtab->offset + strtab->size : 0;
}

/* The memory-disk image, on the next 4 KiB boundary behind what was staged last:
 * "TMBRDISK", its payload length and the sum of its payload words. */
static void checkDiskImage(const unsigned char* image) {
    static const char magic[8] = {'T', 'M', 'B', 'R', 'D', 'I', 'S', 'K'};
    for (int i = 0; i < 8; ++i) {
        if (image[i] != (unsigned char)magic[i]) {
            put("image: none\n");
            return;
        }
    }
    unsigned int length = word(image + 8), expected = word(image + 12), sum = 0;
    for (unsigned int i = 0; i < length; i += 4) sum += word(image + 16 + i);
    put("image: ");
    put(sum == expected ? "ok" : "FAILED");
    putField("bytes", (int)length);
    put("\n");
    if (sum != expected) fail(badImage);
}

int kernelMain(int argc, const char* const* argv, const struct BootInfo* info, unsigned int difference) {
    serialInit();
    put("handover kernel " FAMILY_NAME "\n");
    checkArguments(argc, argv, info);
    checkBootInfo(info);
    checkImage();
    unsigned int kernelEnd = (unsigned int)_end - difference;  /* as linked */
    unsigned int blockAt = (kernelEnd + 3) & ~3u;
    unsigned int blockSize = checkSymbols((const unsigned char*)(blockAt + difference), difference);
    unsigned int stagedEnd = blockSize != 0 ? blockAt + blockSize : kernelEnd;
    checkDiskImage((const unsigned char*)(((stagedEnd + 0xFFF) & ~0xFFFu) + difference));
    put(firstFailure == ok ? "result: ok\n" : "result: FAILED\n");
    return firstFailure;
}
