#!/usr/bin/env python3
"""Writes the tiny seed files of the BMP fuzz target into corpus/bmp/."""
import os
import struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp")
os.makedirs(here, exist_ok=True)


def info(width, height, bpp, compression=0, colours=0, size=40):
    return struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, 0, 2835, 2835, colours, 0)


def bmp(name, header, palette, pixels):
    offset = 14 + len(header) + len(palette)
    body = header + palette + pixels
    data = b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)


pal2 = bytes([0, 0, 0, 0, 255, 255, 255, 0])
pal4 = bytes(i * 16 for i in range(16) for _ in range(4))
pal256 = bytes(i for i in range(256) for _ in range(4))
bmp("1bit.bmp", info(3, 2, 1), pal2, bytes([0xA0, 0, 0, 0, 0x40, 0, 0, 0]))
bmp("4bit.bmp", info(4, 2, 4), pal4, bytes([0x12, 0x34, 0, 0, 0x56, 0x78, 0, 0]))
bmp("8bit_topdown.bmp", info(2, -2, 8, 0, 4), pal256[:16], bytes([1, 2, 0, 0, 3, 0, 0, 0]))
bmp("16bit.bmp", info(2, 1, 16), b"", struct.pack("<HH", 0x7C00, 0x03E0))
bmp("16bit_565.bmp", info(2, 1, 16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F), struct.pack("<HH", 0xF800, 0x07E0))
bmp("24bit.bmp", info(2, 2, 24), b"", bytes([1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0]))
bmp("32bit.bmp", info(1, 2, 32), b"", bytes([1, 2, 3, 0, 4, 5, 6, 0]))
v4 = info(1, 1, 32, 3, 0, 108) + struct.pack("<IIII", 0xFF, 0xFF00, 0xFF0000, 0xFF000000) + bytes(52)
bmp("32bit_v4.bmp", v4, b"", bytes([1, 2, 3, 0]))
bmp("rle8.bmp", info(4, 2, 8, 1, 4), pal256[:16], bytes([3, 1, 1, 2, 0, 0, 0, 3, 2, 1, 2, 0, 0, 2, 1, 0, 0, 1]))
bmp("rle4.bmp", info(4, 2, 4, 2), pal4, bytes([4, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 1]))
core = struct.pack("<IHHHH", 12, 2, 1, 1, 1)
bmp("core.bmp", core, bytes([0, 0, 0, 255, 255, 255]), bytes([0x40, 0, 0, 0]))
