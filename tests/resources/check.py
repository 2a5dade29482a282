#!/usr/bin/env python3
"""Checks the resources built into tunedesk.exe: five icon groups in order (play, stop, pause,
previous, next) with their image sizes and colour depths, each image a solid black glyph on a
masked ground, both images of a group the same glyph at the same pixel size, and version 1.4.

Usage: check.py EXE [EXE ...]    prints one line per check and "N passed, N failed" last.
"""
import pathlib
import struct
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "res"))
from make_icons import read_glyphs  # noqa: E402  the glyphs each group must show

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
EXPECTED_GROUPS = [
    ("play", [(16, 4), (32, 1)]),
    ("stop", [(16, 4), (32, 1)]),
    ("pause", [(16, 4), (32, 1)]),
    ("previous", [(32, 1), (16, 1)]),
    ("next", [(32, 1), (16, 1)]),
]
EXPECTED_STRINGS = {"FileVersion": "1.4", "ProductVersion": "1.4", "ProductName": "Tunedesk",
                    "FileDescription": "tunedesk.exe", "InternalName": "tunedesk.exe",
                    "OriginalFilename": "tunedesk.exe"}
VERSION_1_4 = (1 << 16 | 4, 0)


def read_resources(data):
    """{type: {id: bytes}} from a PE file's resource directory (first language of each)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size

    def offset(rva):
        for index in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", data, table + index * 40 + 8)
            if address <= rva < address + max(size, 1):
                return rva - address + raw
        raise ValueError(f"RVA {rva:#x} lies in no section")

    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for index in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + index * 8)
            yield name, target

    resources = {}
    for kind, kind_dir in entries(0):
        for name, name_dir in entries(kind_dir & 0x7FFFFFFF):
            _, leaf = next(entries(name_dir & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", data, base + leaf)
            resources.setdefault(kind, {})[name] = data[offset(rva):offset(rva) + size]
    return resources


def decode_image(body):
    """(size, bits, glyph rows): '#' for an unmasked black pixel, '.' for a masked one whose
    colour leaves the screen unchanged. Raises on anything else."""
    (header, width, height, planes, bits, compression) = struct.unpack_from("<IiiHHI", body)
    if header != 40 or height != 2 * width or planes != 1 or compression != 0:
        raise ValueError("not a plain icon bitmap")
    palette_size = struct.unpack_from("<I", body, 32)[0] or 1 << bits
    palette = [body[40 + 4 * i:43 + 4 * i] for i in range(palette_size)]
    colour_at = 40 + 4 * palette_size
    colour_stride = (width * bits + 31) // 32 * 4
    mask_at = colour_at + colour_stride * width
    mask_stride = (width + 31) // 32 * 4

    def value(at, stride, depth, x, y):
        row = at + (width - 1 - y) * stride  # rows are stored bottom-up
        bit = x * depth
        return body[row + bit // 8] >> (8 - depth - bit % 8) & ((1 << depth) - 1)

    rows = []
    for y in range(width):
        row = ""
        for x in range(width):
            masked = value(mask_at, mask_stride, 1, x, y)
            colour = value(colour_at, colour_stride, bits, x, y)
            if masked and colour != 0:
                raise ValueError(f"masked pixel ({x}, {y}) changes the screen")
            if not masked and palette[colour] != b"\0\0\0":
                raise ValueError(f"glyph pixel ({x}, {y}) is not black")
            row += "." if masked else "#"
        rows.append(row)
    return width, bits, rows


def trimmed(rows):
    """The glyph's bounding box, so that glyphs in images of different sizes compare."""
    filled = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == "#"]
    if not filled:
        raise ValueError("the image has no glyph")
    left, right = min(x for x, _ in filled), max(x for x, _ in filled)
    top, bottom = min(y for _, y in filled), max(y for _, y in filled)
    return [row[left:right + 1] for row in rows[top:bottom + 1]]


def version_strings(block):
    """The fixed version numbers and the strings of a VS_VERSIONINFO block."""
    signature = block.find(struct.pack("<I", 0xFEEF04BD))
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", block, signature + 8)
    strings = {}
    for key in EXPECTED_STRINGS:
        # A String holds its key in UTF-16, then padding to four bytes, then its value.
        encoded = (key + "\0").encode("utf-16-le")
        where = block.find(encoded)
        if where == -1:
            continue
        start = where + len(encoded)
        start += (4 - start % 4) % 4
        end = start
        while block[end:end + 2] != b"\0\0":
            end += 2
        strings[key] = block[start:end].decode("utf-16-le")
    return (file_ms, file_ls), (product_ms, product_ls), strings


def check(path):
    """Yields (description, problem or None)."""
    resources = read_resources(pathlib.Path(path).read_bytes())
    groups = resources.get(RT_GROUP_ICON, {})
    yield "five icon groups numbered 1 to 5", None if sorted(groups) == [1, 2, 3, 4, 5] else f"groups {sorted(groups)}"
    glyphs = read_glyphs()
    for number, (name, images) in enumerate(EXPECTED_GROUPS, start=1):
        problem = None
        try:
            count = struct.unpack_from("<H", groups[number], 4)[0]
            entries = [struct.unpack_from("<BBBBHHIH", groups[number], 6 + 14 * i) for i in range(count)]
            decoded = [decode_image(resources[RT_ICON][entry[7]]) for entry in entries]
            if [(size, bits) for size, bits, _ in decoded] != images:
                problem = f"images {[(size, bits) for size, bits, _ in decoded]}, expected {images}"
            elif any(trimmed(rows) != trimmed(decoded[0][2]) for _, _, rows in decoded):
                problem = "the images carry different glyphs"
            elif trimmed(decoded[0][2]) != trimmed(glyphs[name]):
                problem = f"the glyph is not the {name} glyph"
        except (KeyError, ValueError, struct.error) as error:
            problem = f"unreadable: {error}"
        yield f"group {number}: {name}, {images}, black glyph on a masked ground", problem
    try:
        file_version, product_version, strings = version_strings(resources[RT_VERSION][1])
        problem = None
        if file_version != VERSION_1_4 or product_version != VERSION_1_4:
            problem = f"versions {file_version}, {product_version}"
        elif strings != EXPECTED_STRINGS:
            problem = f"strings {strings}"
    except (KeyError, ValueError, struct.error) as error:
        problem = f"unreadable: {error}"
    yield "version record 1.4", problem


def main(paths):
    passed = failed = 0
    for path in paths:
        for description, problem in check(path):
            print(("PASS " if problem is None else "FAIL ") + f"{path}: {description}")
            if problem is not None:
                print("    " + problem)
            passed += problem is None
            failed += problem is not None
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]) if len(sys.argv) > 1 else __doc__)
