#!/usr/bin/env python3
"""Draws Orvanta's icon, a prize wheel of twelve coloured slots, as an SVG and as small
16-colour PNGs (16, 32 and 48 pixels), and the same three images as the Windows icon
orvanta.ico (classic 4-bit bitmaps with a transparency mask, read by every Windows). Run it from this folder after changing the design;
the outputs are committed so that building the game needs nothing but CMake.

Only the standard library is used: the PNGs are rasterised here by supersampling and
snapping each pixel to the palette."""

import math
import struct
import zlib
from pathlib import Path

# The 16 colours of the icon; index 0 is transparent.
PALETTE = [
    (0, 0, 0),        # transparent
    (20, 20, 20),     # outline
    (255, 255, 255),  # highlight
    (120, 72, 32),    # rim
    (255, 204, 0),    # hub
    (214, 40, 40),    # slots...
    (247, 127, 0),
    (252, 191, 73),
    (42, 157, 143),
    (29, 78, 216),
    (123, 44, 191),
    (56, 176, 0),
    (230, 230, 230),  # rim studs
    (64, 64, 64),     # spokes
    (200, 0, 90),
    (0, 150, 200),
]
SLOT_COLOURS = [5, 6, 7, 8, 9, 10, 11, 14, 15, 5, 9, 7]
SLOTS = 12

# Radii as fractions of the icon's half width.
OUTLINE = 1.0
RIM = 0.92
SLOTS_EDGE = 0.78
HUB_EDGE = 0.26
HUB = 0.20
SPOKE_HALF_WIDTH = 0.03
STUD_RADIUS = 0.05


def colour_at(x, y):
    """The palette index at a point of the unit square scaled to [-1, 1]."""
    r = math.hypot(x, y)
    if r > OUTLINE:
        return 0
    if r > RIM:
        return 1
    if r > SLOTS_EDGE:
        # Studs on the rim, one between each pair of slots.
        for i in range(SLOTS):
            a = (i + 0.5) * 2 * math.pi / SLOTS
            sx = (RIM + SLOTS_EDGE) / 2 * math.cos(a)
            sy = (RIM + SLOTS_EDGE) / 2 * math.sin(a)
            if math.hypot(x - sx, y - sy) < STUD_RADIUS:
                return 12
        return 3
    if r > HUB_EDGE:
        angle = (math.atan2(y, x) + 2 * math.pi) % (2 * math.pi)
        slot_width = 2 * math.pi / SLOTS
        offset = angle % slot_width
        # A spoke between slots, of constant width.
        if min(offset, slot_width - offset) * r < SPOKE_HALF_WIDTH:
            return 13
        return SLOT_COLOURS[int(angle / slot_width) % SLOTS]
    if r > HUB:
        return 1
    return 4


def rasterise(size, samples=6):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            counts = {}
            for sy in range(samples):
                for sx in range(samples):
                    x = ((px + (sx + 0.5) / samples) / size) * 2 - 1
                    y = ((py + (sy + 0.5) / samples) / size) * 2 - 1
                    index = colour_at(x, y)
                    counts[index] = counts.get(index, 0) + 1
            opaque = sum(n for i, n in counts.items() if i != 0)
            if opaque * 2 < samples * samples:
                row.append(0)
                continue
            # The colour covering most of the pixel, transparency aside.
            row.append(max((n, i) for i, n in counts.items() if i != 0)[1])
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)  # 8-bit palette
    palette = b"".join(bytes(c) for c in PALETTE)
    transparency = bytes([0] + [255] * (len(PALETTE) - 1))
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette) +
            chunk(b"tRNS", transparency) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def ico(images):
    """A Windows .ico holding 16-colour images: each a 4-bit bitmap, bottom row first, followed
    by its 1-bit mask (1 = transparent); rows padded to four bytes."""

    def padded(row_bytes):
        return row_bytes + b"\x00" * (-len(row_bytes) % 4)

    bodies = []
    for rows in images:
        size = len(rows)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
        colours = b""
        mask = b""
        for row in reversed(rows):
            colours += padded(bytes(row[i] << 4 | row[i + 1] for i in range(0, size, 2)))
            bits = [1 if index == 0 else 0 for index in row]
            mask += padded(bytes(int("".join(map(str, bits[i:i + 8])), 2)
                                 for i in range(0, size, 8)))
        bodies.append(header + palette + colours + mask)
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for rows, body in zip(images, bodies):
        directory += struct.pack("<BBBBHHII", len(rows), len(rows), 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    return directory + b"".join(bodies)


def hex_colour(index):
    return "#%02x%02x%02x" % PALETTE[index]


def svg():
    c = 24  # a 48-unit canvas
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">',
        '  <title>Orvanta</title>',
        f'  <circle cx="{c}" cy="{c}" r="{OUTLINE * c}" fill="{hex_colour(1)}"/>',
        f'  <circle cx="{c}" cy="{c}" r="{RIM * c}" fill="{hex_colour(3)}"/>',
    ]
    for i in range(SLOTS):
        a = (i + 0.5) * 2 * math.pi / SLOTS
        x = c + (RIM + SLOTS_EDGE) / 2 * c * math.cos(a)
        y = c + (RIM + SLOTS_EDGE) / 2 * c * math.sin(a)
        parts.append(f'  <circle cx="{x:.3f}" cy="{y:.3f}" r="{STUD_RADIUS * c:.3f}" '
                     f'fill="{hex_colour(12)}"/>')
    r = SLOTS_EDGE * c
    for i in range(SLOTS):
        a0 = i * 2 * math.pi / SLOTS
        a1 = (i + 1) * 2 * math.pi / SLOTS
        x0, y0 = c + r * math.cos(a0), c + r * math.sin(a0)
        x1, y1 = c + r * math.cos(a1), c + r * math.sin(a1)
        parts.append(f'  <path d="M{c},{c} L{x0:.3f},{y0:.3f} A{r},{r} 0 0 1 {x1:.3f},{y1:.3f} Z" '
                     f'fill="{hex_colour(SLOT_COLOURS[i])}" stroke="{hex_colour(13)}" '
                     f'stroke-width="{2 * SPOKE_HALF_WIDTH * c:.3f}"/>')
    parts += [
        f'  <circle cx="{c}" cy="{c}" r="{HUB_EDGE * c}" fill="{hex_colour(1)}"/>',
        f'  <circle cx="{c}" cy="{c}" r="{HUB * c}" fill="{hex_colour(4)}"/>',
        '</svg>',
    ]
    return "\n".join(parts) + "\n"


def main():
    here = Path(__file__).resolve().parent
    (here / "orvanta.svg").write_text(svg())
    images = [rasterise(size) for size in (16, 32, 48)]
    for rows in images:
        (here / f"orvanta-{len(rows)}.png").write_bytes(png(rows))
    (here / "orvanta.ico").write_bytes(ico(images))


if __name__ == "__main__":
    main()
