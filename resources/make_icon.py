#!/usr/bin/env python3
"""Draws the Tavrel application icon and writes it as a Windows .ico file.

The icon is a rounded square shaded from blue (top left) to teal (bottom
right) carrying a white "T". Its geometry is laid out on a 16-unit grid so
that every edge falls on a pixel boundary at 16, 32 and 48 pixels, which keeps
the small sizes crisp; only the rounded corners need anti-aliasing.

The file holds five images, in this order: 16x16 and 32x32 in 256 colours,
then 16x16, 32x32 and 48x48 in 32-bit colour with alpha. The output depends
only on this script, so every run writes the same bytes.

Usage: make_icon.py OUT.ico
"""

import struct
import sys

GRID = 16            # design units across the icon
CORNER = 3.5         # corner radius of the square, in design units
SUBSAMPLES = 8       # samples per pixel along each axis, for anti-aliasing
TOP_LEFT = (36, 99, 214)      # blue
BOTTOM_RIGHT = (18, 178, 160)  # teal
WHITE = (255, 255, 255)

# The "T" as two rectangles (left, top, right, bottom) in design units.
T_BAR = (4, 3, 12, 5)
T_STEM = (7, 5, 9, 13)

IMAGES = ((16, 8), (32, 8), (16, 32), (32, 32), (48, 32))


def in_rect(rect, x, y):
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def in_rounded_square(x, y):
    """True when (x, y) lies inside the icon's rounded square."""
    cx = min(max(x, CORNER), GRID - CORNER)
    cy = min(max(y, CORNER), GRID - CORNER)
    return (x - cx) ** 2 + (y - cy) ** 2 <= CORNER ** 2


def colour_at(x, y):
    """Colour of the drawing at a point in design units, or None outside."""
    if not in_rounded_square(x, y):
        return None
    if in_rect(T_BAR, x, y) or in_rect(T_STEM, x, y):
        return WHITE
    t = (x + y) / (2 * GRID)
    return tuple(a + (b - a) * t for a, b in zip(TOP_LEFT, BOTTOM_RIGHT))


def render(size):
    """Returns size*size (r, g, b, a) pixels, top row first.

    Each pixel averages SUBSAMPLES**2 points; colours are averaged over the
    covered points only, so edges fade through alpha rather than darkening.
    """
    scale = GRID / size
    pixels = []
    for row in range(size):
        for col in range(size):
            covered, sums = 0, [0.0, 0.0, 0.0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    colour = colour_at((col + (sx + 0.5) / SUBSAMPLES) * scale,
                                       (row + (sy + 0.5) / SUBSAMPLES) * scale)
                    if colour is not None:
                        covered += 1
                        sums = [s + c for s, c in zip(sums, colour)]
            if covered == 0:
                pixels.append((0, 0, 0, 0))
                continue
            r, g, b = (int(s / covered + 0.5) for s in sums)
            pixels.append((r, g, b, (covered * 255 + SUBSAMPLES ** 2 // 2) // SUBSAMPLES ** 2))
    return pixels


def build_palette(images):
    """Up to 256 colours taken from the opaque pixels of the given images.

    Channels are rounded ever more coarsely until the distinct colours fit;
    unused entries are black.
    """
    opaque = [p[:3] for pixels in images for p in pixels if p[3] >= 128]
    for shift in range(8):
        half = (1 << shift) >> 1
        colours = sorted({tuple((c >> shift << shift) + half for c in rgb) for rgb in opaque})
        if len(colours) <= 256:
            break
    return colours + [(0, 0, 0)] * (256 - len(colours))


def nearest(palette, rgb):
    r, g, b = rgb
    return min(range(len(palette)),
               key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2 + (palette[i][2] - b) ** 2)


def row_stride(size, bits):
    """Bytes per bitmap row, padded to a multiple of four."""
    return (size * bits + 31) // 32 * 4


def and_mask(size, pixels, transparent):
    """1-bit mask, bottom row first: a set bit lets the background show through."""
    data = bytearray()
    for row in reversed(range(size)):
        line = bytearray(row_stride(size, 1))
        for col in range(size):
            if transparent(pixels[row * size + col]):
                line[col // 8] |= 0x80 >> (col % 8)
        data += line
    return bytes(data)


def dib(size, bits, pixels, palette):
    """The image as an icon DIB: header, palette (8-bit only), colour rows, AND mask."""
    colour = bytearray()
    padding = bytes(row_stride(size, bits) - size * bits // 8)
    for row in reversed(range(size)):
        line = pixels[row * size:(row + 1) * size]
        if bits == 8:
            # Half-covered edge pixels count as opaque; the rest go to the mask.
            colour += bytes(nearest(palette, p[:3]) if p[3] >= 128 else 0 for p in line)
        else:
            for r, g, b, a in line:
                colour += bytes((b, g, r, a))
        colour += padding
    if bits == 8:
        mask = and_mask(size, pixels, lambda p: p[3] < 128)
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    else:
        mask = and_mask(size, pixels, lambda p: p[3] == 0)
        table = b""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + table + bytes(colour) + mask


def build_icon():
    rendered = {size: render(size) for size in sorted({size for size, _ in IMAGES})}
    palette = build_palette([rendered[size] for size, bits in IMAGES if bits == 8])
    images = [dib(size, bits, rendered[size], palette) for size, bits in IMAGES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for (size, bits), data in zip(IMAGES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(build_icon())


if __name__ == "__main__":
    main()
