#!/usr/bin/env python3
"""Writes a memory-disk image for the test kernel: "TMBRDISK", the payload length,
the sum of the payload's 32-bit words, then the payload."""
import struct
import sys

path, length = sys.argv[1], int(sys.argv[2], 0)
payload = bytes((i * 7 + (i >> 8)) & 0xFF for i in range(length))
total = sum(struct.unpack_from("<%dI" % (length // 4), payload)) & 0xFFFFFFFF
open(path, "wb").write(b"TMBRDISK" + struct.pack("<II", length, total) + payload)
