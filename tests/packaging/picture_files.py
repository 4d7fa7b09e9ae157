"""Shared by the packaging checks: where things are, and readers for XPM, ICO and PNG written apart
from tools/xpm_icons.py on purpose, so that a fault in the converter does not cancel out against the
same fault here. Pixels are (r, g, b), None where transparent."""

import os
import re
import struct
import subprocess
import zlib
from types import SimpleNamespace

SOURCE = os.environ.get("LATCHSWEEP_SOURCE_DIR", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# Each icon file the build generates and the pictures of resources/icons it holds, in order.
ICONS = {"magnet": ["magnet-32", "magnet-16"], "frame1": ["frame1-32"], "frame2": ["frame2-32"],
         "binoculars": ["binoculars-32", "binoculars-16"], "wastebin": ["wastebin-32", "wastebin-16"],
         "question": ["question-red-32", "question-green-32", "question-mono-32"], "info": ["info-32", "info-16"],
         "product": ["product-32", "product-16"]}
PICTURES = [picture for pictures in ICONS.values() for picture in pictures]

BLACK, DARK_RED, GREY, LIGHT_GREY = (0, 0, 0), (0x80, 0, 0), (0x80, 0x80, 0x80), (0xC0, 0xC0, 0xC0)
RED, BLUE, WHITE = (0xFF, 0, 0), (0, 0, 0xFF), (0xFF, 0xFF, 0xFF)
# The standard 16-colour Windows palette in index order, as a 4-bit icon stores it.
STANDARD_PALETTE = [BLACK, DARK_RED, (0, 0x80, 0), (0x80, 0x80, 0), (0, 0, 0x80), (0x80, 0, 0x80), (0, 0x80, 0x80),
                    LIGHT_GREY, GREY, RED, (0, 0xFF, 0), (0xFF, 0xFF, 0), BLUE, (0xFF, 0, 0xFF), (0, 0xFF, 0xFF), WHITE]


def run(*args, **kwargs):
    done = subprocess.run([str(a) for a in args], capture_output=True, text=True, **kwargs)
    assert done.returncode == 0, "%s failed (%d):\n%s%s" % (args, done.returncode, done.stdout, done.stderr)
    return done.stdout


def read_bytes(*parts):
    with open(os.path.join(*parts), "rb") as f:
        return f.read()


class Picture:
    def __init__(self, pixels):
        self.pixels, self.width, self.height = pixels, len(pixels[0]) if pixels else 0, len(pixels)  # pixels[y][x]

    def opaque(self):
        return {(x, y) for y, row in enumerate(self.pixels) for x, p in enumerate(row) if p is not None}

    def colours(self):
        return {p for row in self.pixels for p in row if p is not None}

    def where(self, colour):
        return {(x, y) for y, row in enumerate(self.pixels) for x, p in enumerate(row) if p == colour}


def load(name):
    """A picture of resources/icons, as written by hand or by an editor: colours #RRGGBB or None."""
    path = os.path.join(SOURCE, "resources", "icons", name + ".xpm")
    text = read_bytes(path).decode("ascii")
    assert text.lstrip().startswith("/* XPM */"), "%s: no XPM marker" % path
    strings = re.findall(r'"([^"]*)"', re.sub(r"/\*.*?\*/", "", text, flags=re.S))
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for line in strings[1:1 + ncolours]:
        rest = line[cpp:].split()
        assert len(rest) == 2 and rest[0] == "c", "%s: colour line %r" % (path, line)
        assert rest[1] == "None" or re.fullmatch(r"#[0-9A-Fa-f]{6}", rest[1]), "%s: colour %r" % (path, rest[1])
        colours[line[:cpp]] = None if rest[1] == "None" else tuple(int(rest[1][i:i + 2], 16) for i in (1, 3, 5))
    assert len(colours) == ncolours, "%s: duplicate colour keys" % path
    rows = strings[1 + ncolours:]
    assert len(rows) == height and all(len(row) == width * cpp for row in rows), "%s: wrong pixel rows" % path
    return Picture([[colours[row[i:i + cpp]] for i in range(0, len(row), cpp)] for row in rows])


def _rows(data, offset, width, height, bits):
    stride = ((width * bits + 31) // 32) * 4
    assert offset + height * stride <= len(data), "bitmap cut short"
    rows = [[(data[offset + r * stride + (x * bits) // 8] >> (8 - bits - (x * bits) % 8)) & ((1 << bits) - 1)
             for x in range(width)] for r in range(height)]
    return rows[::-1], offset + height * stride  # stored bottom-up


def read_ico(data):
    """The images of an icon file: .entry (ICONDIRENTRY), .header (BITMAPINFOHEADER), .palette,
    .indices, .mask (1 where the screen shows through) and .picture."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1, "not an icon file (reserved %d, type %d)" % (reserved, kind)
    images = []
    for i in range(count):
        entry = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size, offset = entry[6], entry[7]
        assert offset + size <= len(data), "image %d runs past the end of the file" % i
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        assert header[0] == 40, "image %d: header size %d" % (i, header[0])
        width, height, bits = header[1], header[2] // 2, header[4]
        pos = offset + 40 + 4 * (header[9] or (1 << bits))
        palette = [(r, g, b) for b, g, r, _ in struct.iter_unpack("<BBBB", data[offset + 40:pos])]
        indices, pos = _rows(data, pos, width, height, bits)
        mask, pos = _rows(data, pos, width, height, 1)
        assert pos == offset + size, "image %d: %d bytes declared, %d used" % (i, size, pos - offset)
        picture = Picture([[None if m else palette[c] for c, m in zip(*rows)] for rows in zip(indices, mask)])
        images.append(SimpleNamespace(entry=entry, header=header, palette=palette, indices=indices, mask=mask,
                                      picture=picture))
    return images


def read_png(data):
    """An 8-bit RGBA PNG: (Picture, the set of alpha values)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        assert struct.unpack_from(">I", data, pos + 8 + length)[0] == zlib.crc32(kind + body), "bad CRC in %r" % kind
        header = struct.unpack(">IIBBBBB", body) if kind == b"IHDR" else header
        idat += body if kind == b"IDAT" else b""
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    assert (depth, colour_type, interlace) == (8, 6, 0), "expected 8-bit RGBA, not interlaced"
    raw, stride = zlib.decompress(idat), width * 4
    rows, prev = [], bytearray(stride)
    for r in range(height):
        kind, line = raw[r * (stride + 1)], bytearray(raw[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
        for i in range(stride):
            a, b, c = (line[i - 4] if i >= 4 else 0), prev[i], (prev[i - 4] if i >= 4 else 0)
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 0xFF
        rows.append(line)
        prev = line
    pixels = [[None if row[4 * x + 3] == 0 else tuple(row[4 * x:4 * x + 3]) for x in range(width)] for row in rows]
    return Picture(pixels), {row[4 * x + 3] for row in rows for x in range(width)}
