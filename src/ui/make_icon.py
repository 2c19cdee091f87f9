#!/usr/bin/env python3
"""Draws hzwk.ico (16, 32 and 48 pixels, 32-bit with mask): a monitor showing a
refresh wave. Run from this folder when the design changes: python3 make_icon.py"""
import math
import struct


def pixel(size, x, y):
    """RGBA of one pixel of the icon at `size` pixels, y counted from the top."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    # Stand and foot.
    if 0.42 <= u <= 0.58 and 0.78 <= v <= 0.88:
        return (90, 90, 100, 255)
    if 0.28 <= u <= 0.72 and 0.88 <= v <= 0.95:
        return (60, 60, 70, 255)
    # Case and screen.
    if 0.05 <= u <= 0.95 and 0.08 <= v <= 0.78:
        if 0.12 <= u <= 0.88 and 0.15 <= v <= 0.71:
            wave = 0.43 + 0.17 * math.sin((u - 0.12) / 0.76 * 4 * math.pi)
            if abs(v - wave) < max(0.045, 1.2 / size):
                return (80, 255, 120, 255)
            return (10, 40, 110, 255)
        return (45, 45, 55, 255)
    return (0, 0, 0, 0)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up, as BMP stores it
        rows.append(b"".join(struct.pack("<BBBB", b, g, r, a)
                             for (r, g, b, a) in (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open("hzwk.ico", "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
