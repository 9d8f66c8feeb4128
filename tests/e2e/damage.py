#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Damages data files in place, the same way on every run.
Usage: damage.py KIND FILE...
KIND: cut-header (first 18 bytes kept), cut-half, flip (24 bytes changed,
half of them in the first 64), zeros (same length), folder (a folder in the
file's place), unreadable (mode 000)."""
import os
import random
import shutil
import sys
import zlib

kind, files = sys.argv[1], sys.argv[2:]
for path in files:
    data = open(path, "rb").read()
    rng = random.Random(zlib.crc32(path.encode()))
    if kind == "cut-header":
        data = data[:18]
    elif kind == "cut-half":
        data = data[:len(data) // 2]
    elif kind == "flip":
        data = bytearray(data)
        for i in range(24):
            span = min(64, len(data)) if i < 12 else len(data)
            data[rng.randrange(span)] ^= rng.randrange(1, 256)
    elif kind == "zeros":
        data = bytes(len(data))
    elif kind == "folder":
        os.remove(path)
        os.mkdir(path)
        continue
    elif kind == "unreadable":
        os.chmod(path, 0)
        continue
    else:
        sys.exit("unknown damage " + kind)
    open(path, "wb").write(data)
