#!/usr/bin/env python3
"""Draws SETUP.EXE's icon, a printer with a sheet of paper, and writes it
as a Windows .ico: 32x32 and 16x16, each in 16 colours (for the 9x family)
and in 32-bit colour with alpha. Usage: make-icon.py OUTPUT.ico"""
import struct
import sys

# The 16-colour VGA palette that 4-bit icons use.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, LIGHT_GRAY, DARK_GRAY, GREEN, BLUE, WHITE = 0, 2, 7, 8, 10, 4, 15
TRANSPARENT = None


def draw(size):
    """Returns rows (top first) of palette indices or TRANSPARENT."""
    scale = size / 32.0
    pixels = [[TRANSPARENT] * size for _ in range(size)]

    def box(left, top, right, bottom, fill, outline=None):
        # Coordinates on the 32x32 grid, inclusive.
        l, t = int(left * scale), int(top * scale)
        r, b = int(right * scale + scale - 1), int(bottom * scale + scale - 1)
        for y in range(t, b + 1):
            for x in range(l, r + 1):
                edge = y in (t, b) or x in (l, r)
                pixels[y][x] = outline if (edge and outline is not None) else fill

    box(9, 1, 22, 13, WHITE, BLACK)            # sheet going in
    if size >= 32:
        for y in (4, 6, 8, 10):                 # lines of text on it
            box(11, y, 20 if y != 10 else 16, y, BLUE)
    box(2, 12, 29, 24, LIGHT_GRAY, BLACK)      # printer body
    box(3, 21, 28, 23, DARK_GRAY)              # shaded lower part
    box(6, 18, 25, 18, BLACK)                  # paper slot
    box(23, 14, 25, 15, GREEN, DARK_GREEN)     # power light
    box(7, 24, 24, 29, WHITE, BLACK)           # printed sheet coming out
    return pixels


def and_mask(pixels, size):
    row_bytes = ((size + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):
        bits = bytearray(row_bytes)
        for x, p in enumerate(row):
            if p is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def bitmap_header(size, bit_count, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, image_bytes, 0, 0,
                       16 if bit_count == 4 else 0, 0)


def image_4bit(size):
    pixels = draw(size)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    row_bytes = ((size * 4 + 31) // 32) * 4
    xor = b""
    for row in reversed(pixels):
        line = bytearray(row_bytes)
        for x, p in enumerate(row):
            index = BLACK if p is TRANSPARENT else p
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += bytes(line)
    mask = and_mask(pixels, size)
    return bitmap_header(size, 4, len(xor) + len(mask)) + palette + xor + mask


def image_32bit(size):
    pixels = draw(size)
    xor = b""
    for row in reversed(pixels):
        for p in row:
            if p is TRANSPARENT:
                xor += b"\0\0\0\0"
            else:
                r, g, b = PALETTE[p]
                xor += struct.pack("BBBB", b, g, r, 255)
    mask = and_mask(pixels, size)
    return bitmap_header(size, 32, len(xor) + len(mask)) + xor + mask


def main():
    images = [(32, 16, 4, image_4bit(32)), (16, 16, 4, image_4bit(16)),
              (32, 0, 32, image_32bit(32)), (16, 0, 32, image_32bit(16))]
    offset = 6 + 16 * len(images)
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for size, colours, bit_count, data in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bit_count, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(header + entries + b"".join(d for _, _, _, d in images))


if __name__ == "__main__":
    main()
