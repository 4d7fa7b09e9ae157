"""Readers for the picture formats the packaging tests check: XPM, Windows ICO and PNG.

Written separately from tools/xpm_icons.py on purpose, so that a fault in the converter does not
cancel out against the same fault in the test. Pixels are (r, g, b) tuples, None where transparent.
"""

import re
import struct
import zlib

BLACK = (0x00, 0x00, 0x00)
DARK_RED = (0x80, 0x00, 0x00)
DARK_GREEN = (0x00, 0x80, 0x00)
GREY = (0x80, 0x80, 0x80)
LIGHT_GREY = (0xC0, 0xC0, 0xC0)
RED = (0xFF, 0x00, 0x00)
GREEN = (0x00, 0xFF, 0x00)
BLUE = (0x00, 0x00, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)

# The standard 16-colour Windows palette in index order, as a 4-bit icon stores it.
STANDARD_PALETTE = [
    BLACK, DARK_RED, DARK_GREEN, (0x80, 0x80, 0x00), (0x00, 0x00, 0x80), (0x80, 0x00, 0x80),
    (0x00, 0x80, 0x80), LIGHT_GREY, GREY, RED, GREEN, (0xFF, 0xFF, 0x00), BLUE, (0xFF, 0x00, 0xFF),
    (0x00, 0xFF, 0xFF), WHITE,
]


class Picture:
    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels  # pixels[y][x]

    def opaque(self):
        return {(x, y) for y, row in enumerate(self.pixels) for x, p in enumerate(row) if p is not None}

    def colours(self):
        return {p for row in self.pixels for p in row if p is not None}

    def where(self, colour):
        return {(x, y) for y, row in enumerate(self.pixels) for x, p in enumerate(row) if p == colour}


def read_xpm(path):
    """An XPM file as written by hand or by an editor: 'c' colours in #RRGGBB form or None."""
    with open(path, encoding="ascii") as f:
        text = f.read()
    assert text.lstrip().startswith("/* XPM */"), "%s: no XPM marker" % path
    strings = re.findall(r'"([^"]*)"', re.sub(r"/\*.*?\*/", "", text, flags=re.S))
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    colours = {}
    for line in strings[1:1 + ncolours]:
        key, rest = line[:cpp], line[cpp:].split()
        assert rest[0] == "c" and len(rest) == 2, "%s: colour line %r" % (path, line)
        value = rest[1]
        if value == "None":
            colours[key] = None
        else:
            assert re.fullmatch(r"#[0-9A-Fa-f]{6}", value), "%s: colour %r" % (path, value)
            colours[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    assert len(colours) == ncolours, "%s: duplicate colour keys" % path
    rows = strings[1 + ncolours:]
    assert len(rows) == height, "%s: %d rows, header says %d" % (path, len(rows), height)
    pixels = []
    for row in rows:
        assert len(row) == width * cpp, "%s: row %r" % (path, row)
        pixels.append([colours[row[i:i + cpp]] for i in range(0, len(row), cpp)])
    return Picture(width, height, pixels)


class IconImage:
    def __init__(self, entry, header, palette, picture, mask):
        self.entry = entry  # width, height, colour_count, reserved, planes, bit_count, size, offset
        self.header = header  # the BITMAPINFOHEADER fields
        self.palette = palette
        self.picture = picture
        self.mask = mask  # mask[y][x]: 1 where the screen shows through


def _rows(data, offset, width, height, bits):
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for r in range(height):
        line = data[offset + r * stride:offset + (r + 1) * stride]
        assert len(line) == stride, "bitmap cut short"
        values = []
        for x in range(width):
            byte = line[(x * bits) // 8]
            shift = 8 - bits - (x * bits) % 8
            values.append((byte >> shift) & ((1 << bits) - 1))
        rows.append(values)
    rows.reverse()  # stored bottom-up
    return rows, offset + height * stride


def read_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1, "not an icon file (reserved %d, type %d)" % (reserved, kind)
    images = []
    for i in range(count):
        entry = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        size, offset = entry[6], entry[7]
        assert offset + size <= len(data), "image %d runs past the end of the file" % i
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        bi_size, width, height2, planes, bits = header[:5]
        assert bi_size == 40, "image %d: header size %d" % (i, bi_size)
        height = height2 // 2
        colours_used = header[9] or (1 << bits)
        pos = offset + 40
        palette = [(r, g, b) for b, g, r, _ in
                   (struct.unpack_from("<BBBB", data, pos + 4 * k) for k in range(colours_used))]
        pos += 4 * colours_used
        indices, pos = _rows(data, pos, width, height, bits)
        mask, pos = _rows(data, pos, width, height, 1)
        assert pos == offset + size, "image %d: %d bytes declared, %d used" % (i, size, pos - offset)
        pixels = [[None if mask[y][x] else palette[indices[y][x]] for x in range(width)]
                  for y in range(height)]
        image = IconImage(entry, header, palette, Picture(width, height, pixels), mask)
        image.indices = indices
        images.append(image)
    return images


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, = struct.unpack_from(">I", data, pos)
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", data, pos + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, "bad CRC in %r" % kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    assert (depth, colour_type, interlace) == (8, 6, 0), "expected 8-bit RGBA, not interlaced"
    raw = zlib.decompress(idat)
    stride, bpp = width * 4, 4
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            line[i] = (line[i] + (0, a, b, (a + b) // 2, _paeth(a, b, c))[kind]) & 0xFF
        rows.append(line)
        prev = line
    pixels = [[None if row[4 * x + 3] == 0 else tuple(row[4 * x:4 * x + 3]) for x in range(width)]
              for row in rows]
    alphas = {row[4 * x + 3] for row in rows for x in range(width)}
    return Picture(width, height, pixels), alphas
