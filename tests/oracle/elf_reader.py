"""A small ELF32 little-endian reader, written apart from the boot loader's own ELF
code, and what a kernel file says must end up in memory: the loadable segments with
their zeroed tails, and the symbol block that follows the last one."""
import struct

EHDR = struct.Struct("<16sHHIIIIIHHHHHH")
PHDR = struct.Struct("<IIIIIIII")
SHDR = struct.Struct("<IIIIIIIIII")
PT_LOAD = 1


def round4(value):
    return (value + 3) & ~3


class Elf:
    """The header fields, program headers and section headers of one file."""

    def __init__(self, data):
        if data[:4] != b"\x7fELF" or data[4] != 1 or data[5] != 1:
            raise ValueError("not an ELF32 little-endian file")
        self.data = data
        (_, self.e_type, self.e_machine, _, self.e_entry, self.e_phoff, self.e_shoff, _, _,
         self.e_phentsize, self.e_phnum, self.e_shentsize, self.e_shnum, self.e_shstrndx) = EHDR.unpack_from(data, 0)
        self.segments = [dict(zip(("type", "offset", "vaddr", "paddr", "filesz", "memsz", "flags", "align"),
                                  PHDR.unpack_from(data, self.e_phoff + i * self.e_phentsize)))
                         for i in range(self.e_phnum)]
        self.sections = [dict(zip(("name", "type", "flags", "addr", "offset", "size", "link", "info", "addralign",
                                   "entsize"), SHDR.unpack_from(data, self.e_shoff + i * self.e_shentsize)))
                         for i in range(self.e_shnum)]

    def loadable(self):
        return [s for s in self.segments if s["type"] == PT_LOAD]

    def section_name(self, section):
        names = self.sections[self.e_shstrndx]
        start = names["offset"] + section["name"]
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def section_named(self, name):
        """The last section of that name, or None."""
        found = None
        for section in self.sections:
            if self.section_name(section) == name:
                found = section
        return found

    def bytes_at(self, offset, size):
        """`size` bytes from `offset`; bytes past the end of the file read as 0."""
        chunk = self.data[offset:offset + size]
        return chunk + bytes(size - len(chunk))


def symbol_block(elf):
    """The symbol block as the kernel must find it: a list of (offset in the block,
    bytes) pieces, leaving out the undefined padding between .symtab and .strtab; None
    when the kernel has no .symtab or no .strtab."""
    symtab, strtab = elf.section_named(".symtab"), elf.section_named(".strtab")
    if symtab is None or strtab is None:
        return None
    s = elf.e_shnum * elf.e_shentsize
    names = elf.sections[elf.e_shstrndx]
    n = round4(names["size"])
    h = 52 + s + n
    y, t = symtab["size"], strtab["size"]
    strtab_at = h + round4(y)

    header = bytearray(elf.data[:52])
    struct.pack_into("<I", header, 24, 0)   # e_entry
    struct.pack_into("<I", header, 28, 0)   # e_phoff
    struct.pack_into("<I", header, 32, 52)  # e_shoff
    struct.pack_into("<H", header, 44, 0)   # e_phnum
    table = bytearray(elf.data[elf.e_shoff:elf.e_shoff + s])
    for i, section in enumerate(elf.sections):
        if section is symtab:
            offset = h
        elif section is strtab:
            offset = strtab_at
        elif i == elf.e_shstrndx:
            offset = 52 + s
        else:
            offset = 0
        struct.pack_into("<I", table, i * 40 + 16, offset)
    head = bytes(header) + bytes(table) + elf.bytes_at(names["offset"], n)
    return [(0, head), (h, elf.bytes_at(symtab["offset"], y)), (strtab_at, elf.bytes_at(strtab["offset"], t))]
