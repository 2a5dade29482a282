#!/usr/bin/env python3
"""Checks the resources built into tunedesk.exe: five icon groups in order (play, stop, pause,
previous, next) with their image sizes and colour depths, each image a solid black glyph on a
masked ground, both images of a group the same glyph at the same pixel size, version 1.4 and
the application manifest. Reads the PE file with pefile (Debian's python3-pefile).

Usage: check.py EXE [EXE ...]    prints one line per check and "N passed, N failed" last.
"""
import pathlib
import struct
import sys
from xml.etree import ElementTree

import pefile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "res"))
from make_icons import read_glyphs  # noqa: E402  the glyphs each group must show

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
EXPECTED_GROUPS = [
    ("play", [(16, 4), (32, 1)]),
    ("stop", [(16, 4), (32, 1)]),
    ("pause", [(16, 4), (32, 1)]),
    ("previous", [(32, 1), (16, 1)]),
    ("next", [(32, 1), (16, 1)]),
]
EXPECTED_STRINGS = {"FileVersion": "1.4", "ProductVersion": "1.4", "ProductName": "Tunedesk",
                    "FileDescription": "Tunedesk for Winamp",
                    "InternalName": "tunedesk", "OriginalFilename": "tunedesk.exe"}
VERSION_1_4 = (1 << 16 | 4, 0)
MANIFEST_NAMESPACES = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
                       "c": "urn:schemas-microsoft-com:compatibility.v1",
                       "w5": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                       "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
                "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}  # 10 and 11
COMMON_CONTROLS = ("Microsoft.Windows.Common-Controls", "6.0.0.0")


def read_resources(path):
    """{type: {id: bytes}} from a PE file's resources (first language of each), and its version
    record as (file version, product version, {name: text})."""
    pe = pefile.PE(str(path))
    resources = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            leaf = name.directory.entries[0].data.struct
            resources.setdefault(kind.id, {})[name.id] = pe.get_data(leaf.OffsetToData, leaf.Size)
    fixed = pe.VS_FIXEDFILEINFO[0]
    strings = {key.decode(): value.decode()
               for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
               for table in info.StringTable for key, value in table.entries.items()}
    return resources, ((fixed.FileVersionMS, fixed.FileVersionLS),
                       (fixed.ProductVersionMS, fixed.ProductVersionLS), strings)


def manifest_problem(text):
    """What is wrong with the application manifest, or None."""
    root = ElementTree.fromstring(text)
    def find(path):
        return root.find(path, MANIFEST_NAMESPACES)
    level = find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel")
    if level is None or level.attrib != {"level": "asInvoker", "uiAccess": "false"}:
        return "requestedExecutionLevel is not asInvoker without uiAccess"
    oses = {os.get("Id") for os in root.findall("c:compatibility/c:application/c:supportedOS",
                                                MANIFEST_NAMESPACES)}
    if oses != SUPPORTED_OS:
        return f"supportedOS {sorted(oses)}"
    settings = "v3:application/v3:windowsSettings/"
    aware, awareness = find(settings + "w5:dpiAware"), find(settings + "w16:dpiAwareness")
    if aware is None or aware.text != "true/pm" or awareness is None or awareness.text != "PerMonitorV2":
        return "DPI awareness is not PerMonitorV2 with true/pm before Windows 10"
    controls = find("v1:dependency/v1:dependentAssembly/v1:assemblyIdentity")
    if controls is None or (controls.get("name"), controls.get("version")) != COMMON_CONTROLS:
        return "no dependency on Common Controls 6"
    if any(element.tag.endswith("activeCodePage") for element in root.iter()):
        return "it sets an activeCodePage"
    return None


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


def check(path):
    """Yields (description, problem or None)."""
    resources, (file_version, product_version, strings) = read_resources(path)
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
    problem = None
    if file_version != VERSION_1_4 or product_version != VERSION_1_4:
        problem = f"versions {file_version}, {product_version}"
    elif {key: strings.get(key) for key in EXPECTED_STRINGS} != EXPECTED_STRINGS:
        problem = f"strings {strings}"
    elif "MIT License" not in strings.get("LegalCopyright", ""):
        problem = "LegalCopyright names no licence"
    yield "version record 1.4", problem
    manifests = resources.get(RT_MANIFEST, {})
    yield "manifest", manifest_problem(manifests[1]) if list(manifests) == [1] else f"manifests {list(manifests)}"


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
