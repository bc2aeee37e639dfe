#!/usr/bin/env python3
"""Draws tokalux.ico: a yellow lightning bolt with a dark-yellow edge and a black outline on a
transparent ground, as 32x32 and 16x16 images of 16 colours each. Run it to regenerate the icon
beside this script; it needs nothing beyond Python 3."""

import os
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_YELLOW, YELLOW = 0, 3, 11

# The bolt in unit coordinates (x to the right, y downwards).
BOLT = [(0.60, 0.02), (0.18, 0.56), (0.46, 0.56), (0.30, 0.98),
        (0.84, 0.40), (0.56, 0.40), (0.80, 0.02)]


def inside(x, y):
    """Even-odd test of the point against the bolt polygon."""
    result = False
    for i, (x1, y1) in enumerate(BOLT):
        x2, y2 = BOLT[i - 1]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def draw(size):
    """Rows of palette indices (None for transparent), top row first."""
    margin = 1.0
    scale = size - 2 * margin

    def covered(px, py):
        if px < 0 or py < 0 or px >= size or py >= size:
            return False
        return inside((px + 0.5 - margin) / scale, (py + 0.5 - margin) / scale)

    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            if covered(px, py):
                # The lower right edge is shaded dark yellow.
                edge = not covered(px + 1, py) or not covered(px, py + 1)
                row.append(DARK_YELLOW if edge else YELLOW)
            elif any(covered(px + dx, py + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                row.append(BLACK)
            else:
                row.append(None)
        rows.append(row)
    return rows


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def image_bytes(size):
    rows = draw(size)
    xor = b""
    mask = b""
    for row in reversed(rows):  # bitmaps are stored bottom-up
        nibbles = [0 if c is None else c for c in row]
        xor += padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
        bits = 0
        packed = b""
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                packed += bytes([bits])
                bits = 0
        mask += padded(packed)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + xor + mask


def main():
    sizes = [32, 16]
    images = [image_bytes(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "tokalux.ico")
    with open(path, "wb") as f:
        f.write(out)
    for size in sizes:
        print(f"{size}x{size}:")
        for row in draw(size):
            print("".join({None: ".", BLACK: "#", DARK_YELLOW: "o", YELLOW: "Y"}[c] for c in row))


if __name__ == "__main__":
    main()
