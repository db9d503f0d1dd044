#!/usr/bin/env python3
"""Draws the launcher's icon (45 x 45, 32 bits per pixel) and writes it as an .ico file.

The mark: a teal rounded square in the product's band colour carrying a white
invoice sheet with a folded corner, three text lines and a coloured total bar.
Run by hand when the artwork changes; the .ico it writes is committed.
"""
import struct
import sys

SIZE = 45
TEAL = (58, 183, 167)
DARK = (32, 120, 110)
WHITE = (255, 255, 255)
LINE = (150, 160, 170)
ACCENT = (251, 140, 60)


def inside_rounded(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def pixel(x, y):
    """RGBA of one pixel, y counted from the top."""
    if not inside_rounded(x, y, 1, 1, 43, 43, 9):
        return (0, 0, 0, 0)
    color = TEAL if y < 30 else DARK if y > 40 else TEAL
    # The sheet, its folded corner cut off at the top right.
    left, top, right, bottom = 12, 7, 32, 38
    if left <= x <= right and top <= y <= bottom and not (x - (right - 6) > y - top):
        color = WHITE
        if x - (right - 6) >= y - top - 1 and y < top + 7:
            color = LINE
        for line_y in (14, 19, 24):
            if y == line_y and left + 3 <= x <= right - 4:
                color = LINE
        if 29 <= y <= 33 and left + 9 <= x <= right - 3:
            color = ACCENT
    return color + (255,)


def main(path):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = b"".join(struct.pack("BBBB", b, g, r, a) for (r, g, b, a) in (pixel(x, y) for x in range(SIZE)))
        rows.append(row)
    xor = b"".join(rows)
    mask_stride = ((SIZE + 31) // 32) * 4
    and_mask = bytes(mask_stride * SIZE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(icon_dir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "launcher.ico")
