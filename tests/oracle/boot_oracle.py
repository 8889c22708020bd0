#!/usr/bin/env python3
"""Boots random kernels, one per seed, through the whole boot loader on sandbox
machines and compares the RAM at the kernel entry with what the kernel file and the
memory-disk image say it must hold.

Usage: boot_oracle.py --tool ORACLE_BOOT --work FOLDER FIRST_SEED COUNT"""
import argparse
import shutil
import subprocess
import sys
from pathlib import Path

# The helper modules sit next to this file; keep the source tree free of caches.
sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))
import expected_memory  # noqa: E402
import kernel_gen  # noqa: E402
from elf_reader import Elf  # noqa: E402


def describe(seed, kernel):
    return "seed %d: %s, %d segment(s) at 0x%08x%s%s%s" % (
        seed, kernel.machine, len(kernel.segments), kernel.base, ", stripped" if kernel.stripped else "",
        ", image of %d bytes" % len(kernel.image) if kernel.image is not None else "",
        ", gzip" if kernel.gzip_kernel else "")


def boot(tool, kernel, names, storage, low, high, dump, seed):
    command = [tool, "--machine", kernel.machine, "--storage", str(storage), "--kernel", names[0],
               "--from", hex(low), "--to", hex(high), "--out", str(dump)]
    if names[1]:
        command += ["--image", names[1]]
    # The boxes are answered Yes/OK; both settings only add questions and notices.
    if seed % 2:
        command.append("--safety-message")
    if seed % 3 == 0:
        command.append("--pause")
    return subprocess.run(command, capture_output=True, text=True)


def check_entry(seed, line, elf, ranges, physical, argc):
    """Mismatches of the kernel entry state with what the hand-over must give it."""
    state = dict(field.split("=") for field in line.split())
    state = {key: int(value, 16) for key, value in state.items()}
    entry, sp = expected_memory.expected_entry(elf, ranges, physical)
    expected = {"entry": entry, "sp": sp, "r0": argc, "r1": state["handover"] + 52, "r2": state["handover"] + 16}
    problems = 0
    for key, value in expected.items():
        if state[key] != value:
            print("seed %d: kernel entry %s: expected 0x%08x, actual 0x%08x" % (seed, key, value, state[key]))
            problems += 1
    return problems


def run_seed(tool, work, seed):
    """Boots one random kernel; returns the number of mismatches."""
    kernel = kernel_gen.random_kernel(seed)
    folder = work / ("seed-%d" % seed)
    shutil.rmtree(folder, ignore_errors=True)
    elf = Elf(kernel_gen.build(kernel, folder / "build"))
    storage = folder / "storage"
    names = kernel_gen.place_on_card(kernel, elf.data, storage / "Storage Card")
    ranges = expected_memory.staged_ranges(elf, kernel.image)
    physical = expected_memory.to_physical(kernel.family)
    low, high = expected_memory.window(ranges, physical)
    dump = folder / "ram.bin"
    result = boot(tool, kernel, names, storage, low, high, dump, seed)
    if result.returncode != 0:
        print("%s\n  the boot failed (status %d):\n%s%s" % (describe(seed, kernel), result.returncode,
                                                           result.stdout, result.stderr))
        return 1

    def report(address, expected, actual, what):
        print("seed %d: 0x%08x (%s): expected %s, actual %s" % (
            seed, address, what, expected_memory.hex_bytes(expected), expected_memory.hex_bytes(actual)))

    argc = 2 if kernel.image is not None else 1
    mismatches = check_entry(seed, result.stdout.strip(), elf, ranges, physical, argc)
    mismatches += expected_memory.compare(ranges, physical, low, dump.read_bytes(), report)
    if mismatches:
        print("  " + describe(seed, kernel) + "; its files are in " + str(folder))
    else:
        shutil.rmtree(folder)
    return mismatches


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True, help="the oracle_boot program")
    parser.add_argument("--work", required=True, help="folder for the kernels and RAM dumps")
    parser.add_argument("first", type=int)
    parser.add_argument("count", type=int)
    args = parser.parse_args()
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    failed = 0
    for seed in range(args.first, args.first + args.count):
        if run_seed(args.tool, work, seed):
            failed += 1
    print("boot-oracle: %d kernels from seed %d, %d mismatches" % (args.count, args.first, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
