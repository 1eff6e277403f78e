#!/usr/bin/env python3
"""Prints the colours of screen pixels as RRGGBB, one per line, from an XWD dump of the root
window read on standard input (xwd -root -silent). Usage: screen_pixel.py X,Y [X,Y ...]"""
import struct
import sys

data = sys.stdin.buffer.read()
fields = struct.unpack(">25I", data[:100])
header_size, bits_per_pixel, bytes_per_line = fields[0], fields[11], fields[12]
byte_order, ncolors = fields[7], fields[19]
masks = fields[14:17]
if bits_per_pixel not in (24, 32):
    sys.exit(f"unsupported {bits_per_pixel} bits per pixel")
size = bits_per_pixel // 8
pixels = header_size + ncolors * 12
for point in sys.argv[1:]:
    x, y = (int(v) for v in point.split(","))
    offset = pixels + y * bytes_per_line + x * size
    value = int.from_bytes(data[offset:offset + size], "little" if byte_order == 0 else "big")
    rgb = []
    for mask in masks:
        shift = (mask & -mask).bit_length() - 1
        rgb.append((value & mask) >> shift)
    print("%02X%02X%02X" % tuple(rgb))
