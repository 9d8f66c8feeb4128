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
    (version,) = struct.unpack_from("<I", data, 4)
    at = 8
    n = data[at]
    at += 1 + n + 8 + 4 + 128
    (first,) = struct.unpack_from("<I", data, at)
    at += 4 + 2 + 8
    # Version 1: one compressed piece; version 2: chunks of them.
    body = b""
    while at < len(data):
        size, _crc, packed = struct.unpack_from("<III", data, at)
        piece = zlib.decompress(data[at + 12:at + 12 + packed])
        assert len(piece) == size
        body += piece
        at += 12 + packed
    # Below it a step; from it, a step then no event (version 2).
    idle = 0x80 if version == 1 else 0x60
    i, ticks, last_idle = 0, first, None

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
        if idle <= tag < 0x80 or (tag == 0x85 and version > 1):
            step = tag - idle if tag != 0x85 else last_idle
            for _ in range(1 if tag != 0x85 else varint()):
                ticks = (ticks + step) & 0xFFFFFFFF
                yield "clock", ticks
                yield "none", None
            last_idle = step
            continue
        last_idle = None
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
