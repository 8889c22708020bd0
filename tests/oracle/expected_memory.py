"""What the machine's RAM must hold when the kernel is entered, worked out from the
kernel file and the memory-disk image alone, and the comparison with what it holds."""
from dataclasses import dataclass
from typing import Optional

from elf_reader import round4, symbol_block

FILL = 0xA5            # what the sandbox's RAM holds where nothing was written
MARGIN = 256           # bytes checked as untouched before and after the image


@dataclass
class Range:
    """A range the second-stage loader must write: bytes to copy, or zeros."""
    address: int                  # as linked
    length: int
    data: Optional[bytes]         # None: zeros
    label: str


def staged_ranges(elf, image):
    """The ranges in the order the boot stages them: each loadable segment's file
    bytes and zeroed tail, the symbol block, then the image on the next 4 KiB."""
    ranges, end = [], None
    for index, segment in enumerate(elf.segments):
        if segment["type"] != 1:
            continue
        vaddr, filesz, memsz = segment["vaddr"], segment["filesz"], segment["memsz"]
        if filesz:
            ranges.append(Range(vaddr, filesz, elf.bytes_at(segment["offset"], filesz), "seg[%d]" % index))
        if memsz > filesz:
            ranges.append(Range(vaddr + filesz, memsz - filesz, None, "seg[%d] bss" % index))
        block_at, end = vaddr + round4(memsz), vaddr + memsz
    pieces = symbol_block(elf)
    if pieces:
        for (offset, data), label in zip(pieces, ("ksyms header", "ksyms .symtab", "ksyms .strtab")):
            ranges.append(Range(block_at + offset, len(data), data, label))
        end = block_at + pieces[-1][0] + len(pieces[-1][1])
    if image is not None:
        ranges.append(Range((end + 0xFFF) & ~0xFFF, len(image), image, "image"))
    return [r for r in ranges if r.length]


def to_physical(family):
    """Where a destination is written: as linked on SA-11x0; its low 24 bits in the
    bank at 0xA0000000 on PXA2x0."""
    if family == "pxa2x0":
        return lambda address: 0xA0000000 | (address & 0xFFFFFF)
    return lambda address: address


def window(ranges, physical):
    """The physical span to read back: every range with a margin around it."""
    low = min(physical(r.address) for r in ranges) - MARGIN
    high = max(round4(physical(r.address) + r.length) for r in ranges) + MARGIN
    return low, high


def expected_entry(elf, ranges, physical):
    """The kernel entry and its stack pointer: 8 KiB behind the last range, on 4 KiB."""
    last = ranges[-1]
    return physical(elf.e_entry), (physical(last.address) + last.length + 0x2000) & ~0xFFF


def hex_bytes(data):
    return " ".join("%02x" % b for b in data)


def compare(ranges, physical, low, memory, report):
    """Calls report(address, expected, actual, what) for the first differing bytes of
    every range and of every stretch that nothing may have written; returns the
    number of mismatches."""
    mismatches = 0

    def check(address, expected, what):
        nonlocal mismatches
        actual = memory[address - low:address - low + len(expected)]
        if actual == expected:
            return
        first = next(i for i in range(len(expected)) if actual[i] != expected[i])
        report(address + first, expected[first:first + 16], actual[first:first + 16], what)
        mismatches += 1

    covered = []
    for r in ranges:
        start = physical(r.address)
        check(start, r.data if r.data is not None else bytes(r.length), r.label)
        # Copies store whole words, so up to 3 bytes behind a range are not defined.
        covered.append((start, round4(start + r.length)))
    covered.sort()
    cursor = low
    for start, end in covered + [(low + len(memory), low + len(memory))]:
        if start > cursor:
            check(cursor, bytes([FILL]) * (start - cursor), "untouched")
        cursor = max(cursor, end)
    return mismatches
