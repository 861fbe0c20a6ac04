#!/usr/bin/env python3
"""damage.py IN TRUNCATED CORRUPTED: two damaged copies of a 7z archive.

TRUNCATED keeps the first two thirds (the archive's end header is lost);
CORRUPTED keeps every byte but flips some of the packed data, so the archive
opens and the extraction fails its checksum."""
import sys

data = bytearray(open(sys.argv[1], "rb").read())
open(sys.argv[2], "wb").write(data[: len(data) * 2 // 3])
for i in range(40, 60):  # packed streams start right after the 32-byte signature header
    data[i] ^= 0x5A
open(sys.argv[3], "wb").write(data)
