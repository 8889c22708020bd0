"""Random ARM kernels built with the GNU ARM toolchain: a generated assembly file of
random bytes and labels, and a generated linker script that places its segments with
random sizes, alignments, gaps and zero-filled tails. Every kernel is a valid boot for
its machine: its ranges lie in RAM below the frame pool and do not overlap."""
import gzip
import random
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

# (profile, processor family, RAM size in MiB); the sandbox hands out frames from
# the upper half of RAM, so kernels go into the lower half.
MACHINES = [
    ("jornada720", "sa11x0", 32), ("ipaq-h3100", "sa11x0", 16), ("jornada820", "sa11x0", 16),
    ("ipaq-h3660", "sa11x0", 64), ("ws003sh", "pxa2x0", 64), ("ipaq-h3900", "pxa2x0", 64),
    ("ws011sh", "pxa2x0", 128),
]
MIB = 1 << 20
SPAN_LIMIT = 6 * MIB   # start offset + segments + symbols + image stay below this


@dataclass
class Segment:
    data: bytes
    bss: int
    align: int
    gap: int
    bss_align: int
    labels: list = field(default_factory=list)   # (offset in data, name)


@dataclass
class Kernel:
    machine: str
    family: str
    base: int                 # link address of the first byte the script places
    segments: list
    entry_segment: int
    entry_offset: int
    stripped: bool
    note: bool
    image: bytes = None
    gzip_kernel: bool = False
    gzip_image: bool = False


def pick_size(rng, choices):
    """A size from one of several ranges, each (weight, low, high)."""
    weight, low, high = rng.choices(choices, weights=[c[0] for c in choices])[0]
    return rng.randint(low, high)


def random_name(rng):
    first = rng.choice("abcdefghijklmnopqrstuvwxyz_")
    return first + "".join(rng.choice("abcdefghijklmnopqrstuvwxyz0123456789_") for _ in range(rng.randint(0, 30)))


def random_segment(rng, first):
    size = pick_size(rng, [(1, 0, 0), (2, 1, 64), (3, 1, 8192), (2, 1, 200000)])
    bss = pick_size(rng, [(3, 0, 0), (1, 1, 64), (2, 1, 65536)])
    if size == 0 and bss == 0:
        size = rng.randint(1, 4096)
    segment = Segment(data=rng.randbytes(size), bss=bss,
                      align=rng.choice([4, 8, 16, 64, 0x1000, 0x10000]),
                      gap=0 if first else rng.choice([0, 4 * rng.randint(1, 64), 0x1000 * rng.randint(1, 64)]),
                      bss_align=rng.choice([1, 2, 4, 8, 32]))
    for _ in range(rng.randint(0, 12) if size else 0):
        segment.labels.append((rng.randrange(size), random_name(rng) + "_%d" % len(segment.labels)))
    segment.labels.sort()
    return segment


def random_kernel(seed):
    rng = random.Random(seed)
    machine, family, ram = rng.choice(MACHINES)
    if family == "pxa2x0":
        # Linked in the first bank or at 0xC0xxxxxx; only the low 24 bits reach RAM.
        window = rng.choice([0xA0000000, 0xC0000000])
    else:
        window = 0xC0000000
    count = rng.randint(1, 4) if rng.random() < 0.7 else rng.randint(5, 15)
    segments = [random_segment(rng, i == 0) for i in range(count)]
    kernel = Kernel(machine=machine, family=family, base=window + 0x1000 + 4 * rng.randrange(MIB // 2), segments=segments,
                    entry_segment=0, entry_offset=0, stripped=rng.random() < 0.25, note=rng.random() < 0.3)
    with_data = [i for i, s in enumerate(segments) if s.data]
    if with_data:
        kernel.entry_segment = rng.choice(with_data)
        kernel.entry_offset = 4 * rng.randrange((len(segments[kernel.entry_segment].data) + 3) // 4)
    if rng.random() < 0.5:
        kernel.image = rng.randbytes(pick_size(rng, [(1, 1, 64), (2, 1, 300000)]))
        kernel.gzip_image = rng.random() < 0.5
    kernel.gzip_kernel = rng.random() < 0.5
    assert ram * MIB // 2 >= SPAN_LIMIT and window_fits(kernel)
    return kernel


def window_fits(kernel):
    """An upper bound of the kernel's span, so that it stays inside RAM below the pool
    and, on PXA2x0, inside one 16 MiB window of link addresses."""
    span = kernel.base & 0xFFFFFF
    for s in kernel.segments:
        span += s.gap + s.align + len(s.data) + s.bss_align + s.bss + 4
    span += 64 * 1024 + (len(kernel.image) if kernel.image else 0) + 0x1000
    return span < SPAN_LIMIT


def assembly(kernel, folder):
    lines = ["\t.syntax unified", "\t.global start"]
    for i, s in enumerate(kernel.segments):
        lines.append('\t.section .seg%d,"ax",%%progbits' % i)
        done = 0
        marks = list(s.labels)
        if i == kernel.entry_segment:
            marks.append((kernel.entry_offset, "start"))
        for offset, name in sorted(marks):
            if offset > done:
                lines.append('\t.incbin "%s", %d, %d' % (folder / ("seg%d.bin" % i), done, offset - done))
                done = offset
            lines.append("%s:" % name)
        if len(s.data) > done:
            lines.append('\t.incbin "%s", %d, %d' % (folder / ("seg%d.bin" % i), done, len(s.data) - done))
        if i == 0 and kernel.note:
            lines += ['\t.section .note.oracle,"a",%note', "\t.word 4, 4, 1", '\t.ascii "ORC\\0"', "\t.word 0x12345678"]
        if s.bss:
            lines += ['\t.section .bss%d,"aw",%%nobits' % i, "\t.balign %d" % s.bss_align, "\t.space %d" % s.bss]
    return "\n".join(lines) + "\n"


def linker_script(kernel):
    phdrs = ["\ts%d PT_LOAD;" % i for i in range(len(kernel.segments))]
    if kernel.note:
        phdrs.append("\tnote PT_NOTE;")
    body = ["\t. = 0x%08x;" % kernel.base]
    for i, s in enumerate(kernel.segments):
        body.append("\t. = ALIGN(0x%x) + 0x%x;" % (s.align, s.gap))
        body.append("\t.seg%d : { *(.seg%d) } :s%d" % (i, i, i))
        if i == 0 and kernel.note:
            body.append("\t.note.oracle : { *(.note.oracle) } :s0 :note")
        if s.bss:
            body.append("\t.bss%d (NOLOAD) : { *(.bss%d) } :s%d" % (i, i, i))
    return "ENTRY(start)\nPHDRS {\n%s\n}\nSECTIONS {\n%s\n}\n" % ("\n".join(phdrs), "\n".join(body))


def build(kernel, folder):
    """Writes the kernel's sources into `folder` and links kernel.elf; returns it."""
    folder.mkdir(parents=True, exist_ok=True)
    for i, s in enumerate(kernel.segments):
        (folder / ("seg%d.bin" % i)).write_bytes(s.data)
    (folder / "kernel.s").write_text(assembly(kernel, folder))
    (folder / "kernel.ld").write_text(linker_script(kernel))
    subprocess.run(["arm-none-eabi-as", "-o", str(folder / "kernel.o"), str(folder / "kernel.s")], check=True)
    link = ["arm-none-eabi-ld", "-T", str(folder / "kernel.ld"), "-z", "max-page-size=0x1000", "-o",
            str(folder / "kernel.elf"), str(folder / "kernel.o")]
    subprocess.run(link + (["--strip-all"] if kernel.stripped else []), check=True)
    return (folder / "kernel.elf").read_bytes()


def place_on_card(kernel, elf_bytes, card):
    """Puts the kernel and the image on the storage card, compressed or not; returns
    their file names."""
    card.mkdir(parents=True, exist_ok=True)
    kernel_name = "korvel.gz" if kernel.gzip_kernel else "korvel"
    (card / kernel_name).write_bytes(gzip.compress(elf_bytes, mtime=0) if kernel.gzip_kernel else elf_bytes)
    image_name = None
    if kernel.image is not None:
        image_name = "miniroot.fs.gz" if kernel.gzip_image else "miniroot.fs"
        data = gzip.compress(kernel.image, mtime=0) if kernel.gzip_image else kernel.image
        (card / image_name).write_bytes(data)
    return kernel_name, image_name
