#!/usr/bin/env python3
"""Checks that LARGE.png is SMALL.png with every pixel drawn as a FACTOR x FACTOR block, comparing
block by block. Reads the 8-bit, non-interlaced RGB(A) PNGs cairo writes.
Usage: png_blocks.py SMALL.png LARGE.png FACTOR"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: unsupported PNG")
    size = 3 if colour == 2 else 4
    raw, stride, rows, prior = zlib.decompress(idat), width * size, [], bytearray(width * size)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - size] if i >= size else 0
            b, c = prior[i], prior[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([bytes(line[x * size:x * size + 3]) for x in range(width)])
        prior = line
    return width, height, rows


small_path, large_path, factor = sys.argv[1], sys.argv[2], int(sys.argv[3])
sw, sh, small = read_png(small_path)
lw, lh, large = read_png(large_path)
if (lw, lh) != (sw * factor, sh * factor):
    sys.exit(f"{lw} x {lh} is not {sw} x {sh} times {factor}")
for y in range(lh):
    for x in range(lw):
        if large[y][x] != small[y // factor][x // factor]:
            sys.exit(f"pixel {x},{y} differs from the block of {x // factor},{y // factor}")
print(f"{lw} x {lh}: every pixel of {sw} x {sh} as a {factor} x {factor} block")
