#!/usr/bin/env python3
"""Writes a small Windows icon (16x16 and 32x32 unless other sizes are
given, 32-bit colour) for the product's stand-in programs and the installer:
a filled disc in one colour with a lighter stripe, so that different icons
are easy to tell apart. The installer's windows ask for the sizes of the
display's DPI (32, 48 and 64 pixels at 100, 150 and 200 %), so its icons
carry those too.

usage: make-icon.py OUTPUT.ico RRGGBB [SIZE...]
"""
import struct
import sys


def image(size, rgb):
    r, g, b = rgb
    pixels = bytearray()
    centre = (size - 1) / 2
    for y in range(size - 1, -1, -1):  # bottom-up rows
        for x in range(size):
            inside = (x - centre) ** 2 + (y - centre) ** 2 <= (size / 2 - 0.5) ** 2
            stripe = abs(x - y) < size / 8
            if not inside:
                pixels += bytes((0, 0, 0, 0))
            elif stripe:
                pixels += bytes(((b + 255) // 2, (g + 255) // 2, (r + 255) // 2, 255))
            else:
                pixels += bytes((b, g, r, 255))
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask_row * size)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    rgb = bytes.fromhex(sys.argv[2])
    sizes = [int(size) for size in sys.argv[3:]] or [16, 32]
    if any(not 0 < size < 256 for size in sizes):
        sys.exit("make-icon.py: sizes are 1 to 255 pixels")
    images = [image(size, rgb) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
