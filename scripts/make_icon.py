#!/usr/bin/env python3
"""Draws the setup's icon (a download arrow on the brand's blue tile) into resources/icon/setup.ico.

Run by hand when the design changes; the .ico is committed. 32-bit BGRA entries, 16 to 64 px.
"""
import struct
import sys

BLUE = (0xEC, 0x58, 0x48)  # BGR of #4858EC
WHITE = (0xFF, 0xFF, 0xFF)


def coverage(size, x, y, inside):
    """Fraction of the pixel covered by the shape, by 4x4 supersampling."""
    hits = 0
    for sy in range(4):
        for sx in range(4):
            if inside((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size):
                hits += 1
    return hits / 16.0


def in_tile(u, v):
    r = 0.2
    cx = min(max(u, r + 0.04), 0.96 - r)
    cy = min(max(v, r + 0.04), 0.96 - r)
    return 0.04 <= u <= 0.96 and 0.04 <= v <= 0.96 and (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def in_arrow(u, v):
    shaft = 0.42 <= u <= 0.58 and 0.18 <= v <= 0.52
    head = 0.50 <= v <= 0.72 and abs(u - 0.5) <= (0.72 - v) * 1.15
    bar = 0.24 <= u <= 0.76 and 0.76 <= v <= 0.84
    return shaft or head or bar


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # DIBs are stored bottom-up
        row = bytearray()
        for x in range(size):
            tile = coverage(size, x, y, in_tile)
            arrow = coverage(size, x, y, in_arrow) if tile else 0.0
            b, g, r = (int(BLUE[i] * (1 - arrow) + WHITE[i] * arrow) for i in range(3))
            row += bytes((b, g, r, int(round(255 * tile))))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels + b"\0" * (mask_row * size)


def main(path):
    sizes = [16, 24, 32, 48, 64]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/icon/setup.ico")
