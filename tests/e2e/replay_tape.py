#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads a recorded game (replays/*.kvr) for the end-to-end tests.
Usage: replay_tape.py FILE clock   - checks the clock never goes back or leaps
       replay_tape.py FILE summary - counts of each kind of record"""
import struct
import sys
import zlib


def records(path):
    data = open(path, "rb").read()
    assert data[:4] == b"KVR\x1a", "not a recording"
    at = 8
    n = data[at]
    at += 1 + n + 8 + 4 + 128
    (first,) = struct.unpack_from("<I", data, at)
    at += 4 + 2 + 8
    size, _crc, packed = struct.unpack_from("<III", data, at)
    body = zlib.decompress(data[at + 12:])
    assert len(body) == size
    i, ticks = 0, first

    def varint():
        nonlocal i
        v, shift = 0, 0
        while True:
            b = body[i]
            i += 1
            v |= (b & 0x7F) << shift
            shift += 7
            if not b & 0x80:
                return v

    while i < len(body):
        tag = body[i]
        i += 1
        if tag <= 0x80:
            ticks = (ticks + (tag if tag < 0x80 else varint())) & 0xFFFFFFFF
            yield "clock", ticks
        elif tag == 0x81:
            kind = body[i]
            i += 1
            if kind == 1:
                i += 2
            elif kind in (2, 3):
                sym = varint()
                varint()
                yield "key", (kind, sym)
                continue
            elif kind == 4:
                varint(); varint()
            elif kind in (5, 6):
                yield "button", (kind, body[i])
                i += 1
                continue
            elif kind == 7:
                i += 2; varint()
            elif kind in (10, 11):
                i += 2
            yield "event", kind
        elif tag == 0x82:
            yield "none", None
        elif tag == 0x83:
            i += 8
            yield "checksum", None
        elif tag == 0x84:
            yield "end", None


if __name__ == "__main__":
    path, what = sys.argv[1], sys.argv[2]
    if what == "clock":
        last, worst = None, 0
        for kind, value in records(path):
            if kind != "clock":
                continue
            if last is not None:
                step = (value - last + 2**31) % 2**32 - 2**31
                if step < 0:
                    print("the clock went back by %d ms" % -step)
                    sys.exit(1)
                worst = max(worst, step)
            last = value
        print("clock never went back; longest step %d ms" % worst)
        # A frame or a mode change takes well under two seconds here.
        sys.exit(0 if worst < 2000 else 1)
    counts = {}
    for kind, _ in records(path):
        counts[kind] = counts.get(kind, 0) + 1
    print(" ".join("%s=%d" % kv for kv in sorted(counts.items())))
