#!/usr/bin/env python3
"""Renders arrow_down.png (the down arrow of arrow_down.svg) without any image library:
a filled triangle, 4x4 supersampled for smooth edges, written as an RGBA PNG."""
import struct
import zlib

SIZE = 32
SAMPLES = 4
COLOR = (0x37, 0x47, 0x4F)
TRIANGLE = [(6.0, 11.0), (26.0, 11.0), (16.0, 22.0)]


def inside(px, py):
    (x1, y1), (x2, y2), (x3, y3) = TRIANGLE
    d1 = (px - x2) * (y1 - y2) - (x1 - x2) * (py - y2)
    d2 = (px - x3) * (y2 - y3) - (x2 - x3) * (py - y3)
    d3 = (px - x1) * (y3 - y1) - (x3 - x1) * (py - y1)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


rows = bytearray()
for y in range(SIZE):
    rows.append(0)  # filter: none
    for x in range(SIZE):
        hits = sum(inside(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES)
                   for i in range(SAMPLES) for j in range(SAMPLES))
        alpha = round(255 * hits / (SAMPLES * SAMPLES))
        rows.extend(COLOR + (alpha,))

png = (b"\x89PNG\r\n\x1a\n"
       + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
       + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
       + chunk(b"IEND", b""))
with open("arrow_down.png", "wb") as out:
    out.write(png)
