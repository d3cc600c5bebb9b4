#!/usr/bin/python3
"""Writes the BMP seeds of fuzz/corpus/image_bmp/ that reach the decoder's less common
paths: RLE4 and RLE8 with every escape, a top-down picture, a 1-bit picture with padded
rows and a 12-byte core header with a 3-byte palette. Deterministic; run from the
repository root:  /usr/bin/python3 fuzz/image_bmp_seeds.py
"""
import struct

OUT = "fuzz/corpus/image_bmp/"


def info_header(width, height, bpp, compression, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, compression, image_size,
                       2835, 2835, colours, 0)


def bmp(header, palette, pixels):
    offset = 14 + len(header) + len(palette)
    size = offset + len(pixels)
    return b"BM" + struct.pack("<IHHI", size, 0, 0, offset) + header + palette + pixels


def quad_palette(count):
    return b"".join(struct.pack("<BBBB", (i * 37) & 0xFF, (i * 91) & 0xFF, (i * 53) & 0xFF, 0)
                    for i in range(count))


def write(name, data):
    with open(OUT + name, "wb") as f:
        f.write(data)


# RLE4, 10 x 4: an encoded run of two alternating colours, an absolute run of an odd count
# (padded to a word), a delta escape, end of line, end of bitmap.
rle4 = bytes([
    6, 0x12,                    # run of 6: 1 2 1 2 1 2
    0, 3, 0x34, 0x50,           # absolute 3: 3 4 5 (two bytes, a whole word)
    0, 0,                       # end of line
    0, 2, 2, 1,                 # delta: right 2, down 1
    4, 0xFF,                    # run of 4 in colour 15
    0, 0,                       # end of line
    10, 0x77,                   # a whole row
    0, 1,                       # end of bitmap
])
write("rle4.bmp", bmp(info_header(10, 4, 4, 2, len(rle4), 16), quad_palette(16), rle4))

# RLE8, 7 x 3: runs, an odd absolute run with its pad byte, a delta and an early end.
rle8 = bytes([
    3, 5,                       # run of 3 in colour 5
    0, 3, 1, 2, 3, 0,           # absolute 3, padded
    0, 0,                       # end of line
    0, 2, 1, 1,                 # delta: right 1, down 1
    6, 9,
    0, 1,                       # end of bitmap before the last row
])
write("rle8_escapes.bmp", bmp(info_header(7, 3, 8, 1, len(rle8), 10), quad_palette(10), rle8))

# Top-down 24-bit, 3 x 2 (negative height), rows padded to 12 bytes.
rows = b""
for y in range(2):
    row = b"".join(struct.pack("<BBB", 40 * x, 100 * y, 200) for x in range(3))
    rows += row + b"\0" * (-len(row) % 4)
write("topdown24.bmp", bmp(info_header(3, -2, 24, 0, len(rows), 0), b"", rows))

# 1-bit, 37 x 3: a row of 5 bytes padded to 8, a two-colour palette.
ones = b"".join(bytes([0xAA ^ y, 0x55, 0xF0, 0x0F, 0x80]) + b"\0" * 3 for y in range(3))
write("mono37.bmp", bmp(info_header(37, 3, 1, 0, len(ones), 2),
                         struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0), ones))

# Core header (12 bytes: 16-bit width and height), 4-bit, 3-byte palette entries, 5 x 2.
core = struct.pack("<IHHHH", 12, 5, 2, 1, 4)
palette3 = b"".join(struct.pack("<BBB", 16 * i, 255 - 16 * i, 8 * i) for i in range(16))
nibbles = bytes([0x01, 0x23, 0x40, 0]) + bytes([0xFE, 0xDC, 0xB0, 0])
write("core4.bmp", bmp(core, palette3, nibbles))
