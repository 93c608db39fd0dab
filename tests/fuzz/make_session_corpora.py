#!/usr/bin/env python3
"""Writes the seed corpora of the session fuzz targets from the shipped data:
   corpus/preset          depth byte + a stock preset
   corpus/bitmap_loaders  depth byte + a small bitmap (the decoder seeds and an object)
   corpus/command_line    command lines and argument lists split at zero bytes
   corpus/dialog_scripts  dialog byte, depth byte, steps of five bytes"""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
data = os.path.join(here, "..", "..", "data")
corpus = os.path.join(here, "corpus")


def write(folder, name, payload):
    os.makedirs(os.path.join(corpus, folder), exist_ok=True)
    with open(os.path.join(corpus, folder, name), "wb") as out:
        out.write(payload)


def read(path):
    with open(path, "rb") as f:
        return f.read()


presets = ["aurora", "circle_scope", "eightfold_path", "fading_slides", "gradient_slides", "heart_overlay",
           "journey", "kaleido_stretch", "sine_ribbons", "two_fifty_six", "sixteen_bits", "true_colour_24"]
for depth, name in enumerate(presets):
    write("preset", name, bytes([depth % 4]) + read(os.path.join(data, name + ".dat")))

bitmaps = sorted(os.listdir(os.path.join(here, "corpus", "bmp")))
for depth, name in enumerate(bitmaps):
    write("bitmap_loaders", os.path.splitext(name)[0], bytes([depth % 4]) + read(os.path.join(here, "corpus", "bmp", name)))
write("bitmap_loaders", "object", bytes([1]) + read(os.path.join(data, "Data", "Bmp", "Objects", "1.bmp")))

lines = [b"mirravane", b"mirravane /s", b"mirravane /p 1234", b"\"C:\\My Saver\\m.scr\" -l:77", b"m /c:0",
         b"m /a", b"mirravane\0-window-id\x000x2a", b"mirravane\0-root", b"mirravane\0--window-id\0" b"99\0/s"]
for i, line in enumerate(lines):
    write("command_line", "line%d" % i, line)


def step(kind, control_index, code, position):
    return struct.pack("<BBbh", kind, control_index, code, position)


# Kinds: 0 scroll, 1 command, 2 mouse move, 3 move, 4 paint, 5 select, 6 click.
for dialog in range(21):
    script = bytes([dialog, dialog % 4])
    # Every scroll code on the first bar, thumb positions past both ends, clicks, a list
    # choice, a move and a paint, then a command.
    for code in range(9):
        script += step(0, 0, code, 37 - 20 * code)
    script += step(0, 2, 5, 32767) + step(0, 4, 4, -32768) + step(6, 3, 0, 0) + step(6, 5, 0, 0)
    script += step(5, 1, 2, 0) + step(3, 0, 0, 0) + step(4, 6, 0, 0) + step(2, 0, 0, 0) + step(1, 2, 0, 0)
    if len(script) % 2 == 0:
        script += b"\0"
    write("dialog_scripts", "dialog%02d" % dialog, script)
sys.exit(0)
