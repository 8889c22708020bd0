#!/usr/bin/env python3
"""Writes the test kernel's checksum into it after linking: the sum of the 32-bit
words of its text and data, as the kernel computes it when it runs."""
import struct
import sys


def sections(elf):
    shoff, = struct.unpack_from("<I", elf, 32)
    shentsize, shnum = struct.unpack_from("<HH", elf, 46)
    for i in range(shnum):
        yield struct.unpack_from("<IIIIIIIIII", elf, shoff + i * shentsize)


def symbols(elf):
    table = {}
    headers = list(sections(elf))
    for name, kind, flags, addr, offset, size, link, info, align, entsize in headers:
        if kind != 2:  # SHT_SYMTAB
            continue
        strings = headers[link][4]
        for at in range(offset, offset + size, 16):
            name_offset, value = struct.unpack_from("<II", elf, at)
            end = elf.index(b"\0", strings + name_offset)
            table[elf[strings + name_offset:end].decode()] = value
    return table


def file_offset(elf, address):
    phoff, = struct.unpack_from("<I", elf, 28)
    phentsize, phnum = struct.unpack_from("<HH", elf, 42)
    for i in range(phnum):
        kind, offset, vaddr, paddr, filesz = struct.unpack_from("<IIIII", elf, phoff + i * phentsize)
        if kind == 1 and vaddr <= address < vaddr + filesz:
            return offset + address - vaddr
    sys.exit("patch_checksum: 0x%08x is not in the file" % address)


def word_sum(elf, start, end):
    total = 0
    for address in range(start, end, 4):
        total += struct.unpack_from("<I", elf, file_offset(elf, address))[0]
    return total


def main():
    path = sys.argv[1]
    elf = bytearray(open(path, "rb").read())
    sym = symbols(elf)
    total = word_sum(elf, sym["__text_check_start"], sym["__text_check_end"])
    total += word_sum(elf, sym["__data_check_start"], sym["__data_check_end"])
    struct.pack_into("<I", elf, file_offset(elf, sym["kernelChecksum"]), total & 0xFFFFFFFF)
    open(path, "wb").write(elf)


main()
