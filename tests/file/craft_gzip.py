#!/usr/bin/env python3
"""Writes one gzip member of stdin to stdout, with the header fields gzip(1) does not
make: an extra field, a comment, a header CRC. The deflate data comes from zlib."""
import argparse
import struct
import sys
import zlib

FHCRC, FEXTRA, FNAME, FCOMMENT = 0x02, 0x04, 0x08, 0x10


def member(content, extra, name, comment, hcrc):
    flags = (FEXTRA if extra is not None else 0) | (FNAME if name else 0) \
        | (FCOMMENT if comment else 0) | (FHCRC if hcrc else 0)
    header = bytes([0x1F, 0x8B, 8, flags]) + struct.pack("<I", 0) + bytes([0, 3])
    if extra is not None:
        header += struct.pack("<H", len(extra)) + extra
    if name:
        header += name.encode() + b"\0"
    if comment:
        header += comment.encode() + b"\0"
    if hcrc:
        header += struct.pack("<H", zlib.crc32(header) & 0xFFFF)
    packer = zlib.compressobj(6, zlib.DEFLATED, -15)
    body = packer.compress(content) + packer.flush()
    trailer = struct.pack("<II", zlib.crc32(content), len(content) & 0xFFFFFFFF)
    return header + body + trailer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--extra", type=int, help="bytes of extra field")
    parser.add_argument("--name")
    parser.add_argument("--comment")
    parser.add_argument("--hcrc", action="store_true")
    parser.add_argument("--length-mod", metavar="M:R",
                        help="size the extra field so that the member's length is R modulo M")
    args = parser.parse_args()
    content = sys.stdin.buffer.read()
    extra = bytes((i * 7) & 0xFF for i in range(args.extra)) if args.extra is not None else None
    if args.length_mod:
        modulus, remainder = (int(x) for x in args.length_mod.split(":"))
        bare = len(member(content, b"", args.name, args.comment, args.hcrc))
        extra = bytes((remainder - bare) % modulus)
    sys.stdout.buffer.write(member(content, extra, args.name, args.comment, args.hcrc))


if __name__ == "__main__":
    main()
