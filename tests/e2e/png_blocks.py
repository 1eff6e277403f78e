#!/usr/bin/env python3
"""Checks that LARGE.png is SMALL.png drawn at a whole FACTOR: every flat part (a pixel whose
neighbours two pixels around all share its colour; thinner parts may be text) is the same colour as a FACTOR x FACTOR block, so fills and frames
land on the multiplied coordinates; and the text was drawn at the larger size, not enlarged (some
blocks are not uniform). Reads the 8-bit, non-interlaced RGB(A) PNGs cairo writes.
Usage: png_blocks.py SMALL LARGE FACTOR"""
import struct
import sys
import zlib


def read_png(path):
    data, pos, idat = open(path, "rb").read(), 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", data[pos + 8:pos + 21])
        elif kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    assert depth == 8 and colour in (2, 6) and not interlace, f"{path}: unsupported PNG"
    size = 3 if colour == 2 else 4
    raw, stride, rows, prior = zlib.decompress(idat), width * size, [], bytearray(width * size)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a, b = line[i - size] if i >= size else 0, prior[i]
            c = prior[i - size] if i >= size else 0
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            line[i] = (line[i] + [0, a, b, (a + b) // 2, paeth][kind]) & 255
        rows.append([bytes(line[x * size:x * size + 3]) for x in range(width)])
        prior = line
    return width, height, rows


(sw, sh, small), (lw, lh, large), factor = read_png(sys.argv[1]), read_png(sys.argv[2]), int(sys.argv[3])
if (lw, lh) != (sw * factor, sh * factor):
    sys.exit(f"{lw} x {lh} is not {sw} x {sh} times {factor}")
flat = mixed = 0
for y in range(sh):
    for x in range(sw):
        block = {large[y * factor + j][x * factor + i] for j in range(factor) for i in range(factor)}
        mixed += len(block) > 1
        around = {small[b][a] for b in range(max(0, y - 2), min(sh, y + 3))
                  for a in range(max(0, x - 2), min(sw, x + 3))}
        if len(around) == 1:
            flat += 1
            if block != around:
                sys.exit(f"flat pixel {x},{y} is not a uniform block of its colour at {factor}")
if mixed < 200:
    sys.exit(f"only {mixed} blocks are not uniform: the text looks enlarged, not drawn at {factor}")
print(f"{lw} x {lh}: {flat} flat pixels as {factor} x {factor} blocks, {mixed} finer blocks")
