#!/usr/bin/env python3
"""Draws the program's picture assets and writes them into src/ui/assets.

    python3 tools/make_assets.py [output-folder]

Run by hand after changing a design; the build only embeds the committed files. Standard library
only, so it runs wherever Python 3 does.

- program.ico: a key cap with an arrow on it (a key that stands for another), at 16, 32 and 48
  pixels, each as 4 and 8 bits per pixel (palette and AND mask) and as 32 bits per pixel (BGRA
  with alpha).
- close.bmp, menu.bmp, minimise.bmp: white 16x16 glyphs on a transparent background, for the
  light-blue title strip, as 32-bit bitmaps with premultiplied alpha: the program hands the
  pixels to AlphaBlend as they are, with no image decoder (most viewers show the transparent
  pixels as black).
"""

import math
import pathlib
import struct
import sys

ACCENT = (146, 201, 228)  # the title strips, and the face of the key cap
WHITE = (255, 255, 255)
OUTLINE = (22, 52, 76)  # dark navy: reads against the accent and against any desktop
KEY_SIDE = (84, 142, 176)  # the darker skirt of the key cap, so it looks raised

ICON_SIZES = (16, 32, 48)
ICON_BIT_COUNTS = (4, 8, 32)
SUPERSAMPLES = 6  # per axis: enough for smooth edges on the rounded corners and the arrow head
OPAQUE_THRESHOLD = 128  # palettised images have no partial alpha: an AND mask bit decides

# ---------------------------------------------------------------------------------------------
# The icon, drawn from shapes given by signed distance (negative inside) on a 16-unit grid, so
# that at 16 pixels every straight edge falls on a pixel boundary.


def round_box(cx, cy, half_w, half_h, radius):
    def distance(x, y):
        qx = abs(x - cx) - (half_w - radius)
        qy = abs(y - cy) - (half_h - radius)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return distance


def polygon(points):
    def distance(x, y):
        inside = False
        best = float("inf")
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
            ex, ey = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(x - ax - t * ex, y - ay - t * ey))
        return -best if inside else best

    return distance


def icon_layers(size):
    """The icon as (shape, grow, colour) layers, painted in order; grow widens a shape by that
    many units, which gives outlines a width in whole pixels at every size."""
    pixel = 16.0 / size
    line = pixel * (1 if size < 48 else 2)
    # The key cap fills the square; the face sits high on it, over a deeper skirt at the bottom.
    cap = round_box(8.0, 8.0, 8.0 - line, 8.0 - line, 2.0)
    face = round_box(8.0, 7.0, 6.0, 5.0, 1.5)
    # A bold right arrow across the face, its head at 45 degrees so it stays sharp at 16 pixels.
    arrow = polygon(
        [(4.0, 6.0), (9.0, 6.0), (9.0, 4.0), (12.0, 7.0), (9.0, 10.0), (9.0, 8.0), (4.0, 8.0)]
    )
    return [
        (cap, line, OUTLINE),
        (cap, 0.0, KEY_SIDE),
        (face, 0.0, ACCENT),
        (arrow, line, OUTLINE),
        (arrow, 0.0, WHITE),
    ]


def render(size, layers):
    """Straight (not premultiplied) RGBA rows, top row first."""
    unit = 16.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for shape, grow, colour in layers:
                hits = 0
                for sy in range(SUPERSAMPLES):
                    for sx in range(SUPERSAMPLES):
                        x = (px + (sx + 0.5) / SUPERSAMPLES) * unit
                        y = (py + (sy + 0.5) / SUPERSAMPLES) * unit
                        if shape(x, y) <= grow:
                            hits += 1
                cover = hits / (SUPERSAMPLES * SUPERSAMPLES)
                if cover == 0.0:
                    continue
                # "Over" compositing in straight alpha.
                out_a = cover + a * (1.0 - cover)
                r = (colour[0] * cover + r * a * (1.0 - cover)) / out_a
                g = (colour[1] * cover + g * a * (1.0 - cover)) / out_a
                b = (colour[2] * cover + b * a * (1.0 - cover)) / out_a
                a = out_a
            row.append((round(r), round(g), round(b), round(a * 255)))
        rows.append(row)
    return rows


def build_palette(rows, entries):
    """The most frequent opaque colours, black first: index 0 is what masked pixels hold."""
    counts = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= OPAQUE_THRESHOLD:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    ranked = sorted(counts, key=lambda c: (-counts[c], c))
    return [(0, 0, 0)] + ranked[: entries - 1]


def nearest(palette, colour):
    # Index 0 stays reserved for transparent pixels.
    return min(
        range(1, len(palette)),
        key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)),
    )


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(rows, size):
    """1 where the screen shows through, rows bottom-up as in every DIB."""
    out = b""
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, (_, _, _, a) in enumerate(row):
            if a < OPAQUE_THRESHOLD:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += pad4(bytes(bits))
    return out


def icon_image(rows, size, bit_count):
    """One icon image: BITMAPINFOHEADER (twice the height: colour and mask), palette, pixels, mask."""
    palette = b""
    if bit_count == 32:
        pixels = b""
        for row in reversed(rows):
            pixels += b"".join(bytes((b, g, r, a)) for r, g, b, a in row)
    else:
        colours = build_palette(rows, 1 << bit_count)
        unused = [(0, 0, 0)] * ((1 << bit_count) - len(colours))
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours + unused)
        cache = {}
        pixels = b""
        for row in reversed(rows):
            indices = []
            for r, g, b, a in row:
                if a < OPAQUE_THRESHOLD:
                    indices.append(0)
                else:
                    if (r, g, b) not in cache:
                        cache[(r, g, b)] = nearest(colours, (r, g, b))
                    indices.append(cache[(r, g, b)])
            if bit_count == 8:
                packed = bytes(indices)
            else:
                packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
            pixels += pad4(packed)
    mask = and_mask(rows, size)
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, len(pixels) + len(mask), 0, 0, 0, 0
    )
    return header + palette + pixels + mask


def write_icon(path):
    images = []
    for size in ICON_SIZES:
        rows = render(size, icon_layers(size))
        for bit_count in ICON_BIT_COUNTS:
            images.append((size, bit_count, icon_image(rows, size, bit_count)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, bit_count, data in images:
        colour_count = 16 if bit_count == 4 else 0  # 0 stands for 256 and for "no palette"
        entries += struct.pack(
            "<BBBBHHII", size, size, colour_count, 0, 1, bit_count, len(data), offset
        )
        offset += len(data)
    path.write_bytes(directory + entries + b"".join(data for _, _, data in images))


# ---------------------------------------------------------------------------------------------
# The title-strip pictures: 16x16, '#' is a white pixel, '.' shows the strip through.

CLOSE = """
................
................
................
...##......##...
....##....##....
.....##..##.....
......####......
.......##.......
.......##.......
......####......
.....##..##.....
....##....##....
...##......##...
................
................
................
"""

MENU = """
................
................
................
..############..
..############..
................
................
..############..
..############..
................
................
..############..
..############..
................
................
................
"""

MINIMISE = """
................
................
................
................
................
................
................
................
................
................
................
...##########...
...##########...
................
................
................
"""


def glyph_indices(art):
    rows = art.strip().splitlines()
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), "a glyph is 16x16"
    return [1 if ch == "#" else 0 for row in rows for ch in row]


def write_bitmap(path, indices):
    """A 32-bit BI_RGB bitmap, rows bottom-up, pixels BGRA with premultiplied alpha (white opaque
    or fully transparent, so premultiplying changes nothing here)."""
    size = 16
    pixels = b""
    for y in reversed(range(size)):
        for x in range(size):
            pixels += bytes((255, 255, 255, 255)) if indices[y * size + x] else bytes(4)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    header_bytes = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", header_bytes + len(pixels), 0, 0, header_bytes)
    path.write_bytes(file_header + info + pixels)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src" / "ui" / "assets"
    folder.mkdir(parents=True, exist_ok=True)
    write_icon(folder / "program.ico")
    for name, art in (("close", CLOSE), ("menu", MENU), ("minimise", MINIMISE)):
        write_bitmap(folder / f"{name}.bmp", glyph_indices(art))
    print(f"wrote program.ico, close.bmp, menu.bmp, minimise.bmp to {folder}")


if __name__ == "__main__":
    main()
