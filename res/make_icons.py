#!/usr/bin/env python3
"""Turns the text glyphs of glyphs.txt into the program's .ico files, byte for byte the same on
every run, and draws the picture of them that the README shows.

Usage: make_icons.py OUTPUT-FOLDER          writes play.ico, stop.ico, ... there
       make_icons.py --picture FILE.png     writes the picture of all five groups at both sizes
"""
import pathlib
import struct
import sys
import zlib

GLYPHS = pathlib.Path(__file__).with_name("glyphs.txt")
GLYPH_SIZE = 16
BLACK = 0  # palette index of black in every image

# The icon groups in resource order, each with its images in order as (size, bits per pixel).
GROUPS = [
    ("play", [(16, 4), (32, 1)]),
    ("stop", [(16, 4), (32, 1)]),
    ("pause", [(16, 4), (32, 1)]),
    ("previous", [(32, 1), (16, 1)]),
    ("next", [(32, 1), (16, 1)]),
]

# The standard 16-colour palette, black first; two-colour images use black and white.
PALETTE_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
              (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
PALETTE_2 = [(0, 0, 0), (255, 255, 255)]


def read_glyphs(path=GLYPHS):
    """Returns {name: rows}, each row a string of '#' and '.'."""
    glyphs, name = {}, None
    for line in path.read_text().splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1]
            glyphs[name] = []
        elif line and not line.startswith("#") and name is not None:
            glyphs[name].append(line)
    for name, rows in glyphs.items():
        if len(rows) != GLYPH_SIZE or any(len(row) != GLYPH_SIZE or set(row) - {"#", "."} for row in rows):
            raise ValueError(f"glyph {name} is not {GLYPH_SIZE} by {GLYPH_SIZE} of '#' and '.'")
    return glyphs


def place(rows, size):
    """The glyph at the centre of a size-by-size image: True where a pixel is black."""
    margin = (size - GLYPH_SIZE) // 2
    return [[margin <= y < margin + GLYPH_SIZE and margin <= x < margin + GLYPH_SIZE
             and rows[y - margin][x - margin] == "#" for x in range(size)] for y in range(size)]


def pack_rows(rows, bits):
    """Bottom-up rows of `bits`-wide values, each row padded to four bytes."""
    data = b""
    for row in reversed(rows):
        value, count = 0, 0
        line = bytearray()
        for item in row:
            value = (value << bits) | item
            count += bits
            if count == 8:
                line.append(value)
                value, count = 0, 0
        while len(line) % 4:
            line.append(0)
        data += bytes(line)
    return data


def icon_image(rows, size, bits):
    """A BITMAPINFOHEADER, palette, colour bits and mask. Ground pixels are masked with colour 0,
    so they leave the screen as it is; glyph pixels are black and unmasked."""
    pixels = place(rows, size)
    palette = PALETTE_16 if bits == 4 else PALETTE_2
    colour = pack_rows([[BLACK] * size for _ in range(size)], bits)
    mask = pack_rows([[0 if black else 1 for black in row] for row in pixels], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask),
                         0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in palette)
    return header + table + colour + mask


def icon_file(rows, images):
    """An .ico file: the directory, then each image."""
    bodies = [icon_image(rows, size, bits) for size, bits in images]
    data = struct.pack("<HHH", 0, 1, len(bodies))
    offset = 6 + 16 * len(bodies)
    for (size, bits), body in zip(images, bodies):
        data += struct.pack("<BBBBHHII", size, size, 1 << bits, 0, 1, bits, len(body), offset)
        offset += len(body)
    return data + b"".join(bodies)


def write_icons(folder):
    glyphs = read_glyphs()
    folder.mkdir(parents=True, exist_ok=True)
    for name, images in GROUPS:
        (folder / f"{name}.ico").write_bytes(icon_file(glyphs[name], images))


def write_picture(path, scale=4, gap=16):
    """A PNG of every group's 32 and 16 pixel images, enlarged, each on a white square the size
    of the image, on a grey ground."""
    glyphs = read_glyphs()
    rows_of_icons = [[place(glyphs[name], size) for name, _ in GROUPS] for size in (32, 16)]
    width = gap + len(GROUPS) * (32 * scale + gap)
    height = gap + sum(len(icons[0]) * scale + gap for icons in rows_of_icons)
    ground, paper, ink = (200, 200, 200), (255, 255, 255), (0, 0, 0)
    canvas = [[ground] * width for _ in range(height)]
    top = gap
    for icons in rows_of_icons:
        for index, pixels in enumerate(icons):
            left = gap + index * (32 * scale + gap)
            for y, row in enumerate(pixels):
                for x, black in enumerate(row):
                    for dy in range(scale):
                        line = canvas[top + y * scale + dy]
                        line[left + x * scale:left + (x + 1) * scale] = [ink if black else paper] * scale
        top += len(icons[0]) * scale + gap
    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in canvas)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    pathlib.Path(path).write_bytes(png)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--picture":
        write_picture(sys.argv[2])
    elif len(sys.argv) == 2:
        write_icons(pathlib.Path(sys.argv[1]))
    else:
        sys.exit(__doc__)
