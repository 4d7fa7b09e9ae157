#!/usr/bin/env python3
"""Turns Latchsweep's XPM pixel art into Windows icon files and PNG pictures.

    xpm_icons.py ico OUTPUT.ico INPUT.xpm [INPUT.xpm ...]
        One icon file holding every input as one image, in the order given. Images are stored as
        device-independent bitmaps with the standard 16-colour palette at 4 bits per pixel, or, for
        a picture drawn in black and white only, at 1 bit per pixel with a black/white palette (the
        form Windows expects of a monochrome icon image). Each image carries its AND mask:
        transparent pixels are 1 in the mask and 0 (black) in the colour bitmap.

    xpm_icons.py png OUTPUT.png INPUT.xpm
        An 8-bit RGBA PNG of one picture; transparent pixels get alpha 0.

    xpm_icons.py theme OUTPUT.png SIZE INPUT.xpm [INPUT.xpm ...]
        A SIZE x SIZE PNG for an icon theme, from whichever input fills most of it when enlarged by
        a whole factor (the more detailed input on a tie), centred on a transparent square. Pixel
        art stays crisp only when every pixel becomes a square block of pixels.

    xpm_icons.py svg OUTPUT.svg INPUT.xpm
        A scalable picture made of the input's pixels as squares, one rectangle per run of equal
        pixels in a row, so that it is the same art at any size.

Standard library only, so the build can run it with the host's Python in any build, cross builds
included. Colours outside the standard 16-colour palette are an error: the icons are 16-colour
artwork, and a stray colour would otherwise be rounded away silently.
"""

import re
import struct
import sys
import zlib

# The standard 16-colour Windows palette, in its usual index order.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 light grey
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
MONO_PALETTE = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]

# The few colour names an XPM editor may write for palette colours.
NAMED_COLOURS = {
    "black": (0x00, 0x00, 0x00),
    "white": (0xFF, 0xFF, 0xFF),
    "red": (0xFF, 0x00, 0x00),
    "green": (0x00, 0xFF, 0x00),
    "blue": (0x00, 0x00, 0xFF),
    "yellow": (0xFF, 0xFF, 0x00),
    "magenta": (0xFF, 0x00, 0xFF),
    "cyan": (0x00, 0xFF, 0xFF),
    "gray": (0x80, 0x80, 0x80),
    "grey": (0x80, 0x80, 0x80),
    "silver": (0xC0, 0xC0, 0xC0),
}


CONTEXTS = ("c", "m", "g", "g4", "s")


class IconError(Exception):
    pass


class Image:
    """A picture: rows of (r, g, b) tuples, None where transparent."""

    def __init__(self, width, height, rows, name="image"):
        self.width = width
        self.height = height
        self.rows = rows
        self.name = name

    def colours(self):
        return {p for row in self.rows for p in row if p is not None}


def parse_colour(text, where):
    value = text.strip()
    if value.lower() == "none":
        return None
    if value.startswith("#"):
        digits = value[1:]
        if not digits or len(digits) % 3 or not re.fullmatch(r"[0-9A-Fa-f]+", digits):
            raise IconError("%s: bad colour %r" % (where, value))
        n = len(digits) // 3
        # Keep the most significant byte of each component (#RGB scales up, #RRRRGGGGBBBB down).
        parts = [int(digits[i * n:(i + 1) * n], 16) for i in range(3)]
        if n == 1:
            return tuple(p * 0x11 for p in parts)
        return tuple(p >> (4 * (n - 2)) for p in parts)
    if value.lower() in NAMED_COLOURS:
        return NAMED_COLOURS[value.lower()]
    raise IconError("%s: unknown colour %r" % (where, value))


def read_xpm(path):
    with open(path, "r", encoding="latin-1") as f:
        text = f.read()
    return parse_xpm(text, path)


def parse_xpm(text, where="xpm"):
    if "/* XPM */" not in text:
        raise IconError("%s: not an XPM file" % where)
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
    if not strings:
        raise IconError("%s: no XPM data" % where)
    values = strings[0].split()
    if len(values) < 4:
        raise IconError("%s: bad values line %r" % (where, strings[0]))
    width, height, ncolours, cpp = (int(v) for v in values[:4])
    if width <= 0 or height <= 0 or ncolours <= 0 or cpp <= 0:
        raise IconError("%s: bad values line %r" % (where, strings[0]))
    if len(strings) < 1 + ncolours + height:
        raise IconError("%s: expected %d colours and %d rows" % (where, ncolours, height))

    table = {}
    for line in strings[1:1 + ncolours]:
        key, fields = line[:cpp], line[cpp:].split()
        # The rest is a list of (context, colour) pairs; a colour name may hold spaces.
        pairs, context = {}, None
        for token in fields:
            if token in CONTEXTS and (context is None or pairs[context]):
                context = token
                pairs[context] = []
            elif context is None:
                raise IconError("%s: bad colour line %r" % (where, line))
            else:
                pairs[context].append(token)
        pairs = {k: " ".join(v) for k, v in pairs.items() if v}
        for context in ("c", "g", "g4", "m"):
            if context in pairs:
                table[key] = parse_colour(pairs[context], where)
                break
        else:
            raise IconError("%s: colour %r has no visual" % (where, key))

    rows = []
    for y, line in enumerate(strings[1 + ncolours:1 + ncolours + height]):
        if len(line) != width * cpp:
            raise IconError("%s: row %d has %d characters, expected %d" % (where, y, len(line), width * cpp))
        row = []
        for x in range(width):
            key = line[x * cpp:(x + 1) * cpp]
            if key not in table:
                raise IconError("%s: row %d uses undefined colour %r" % (where, y, key))
            row.append(table[key])
        rows.append(row)
    return Image(width, height, rows, where)


# --- Windows icon files -----------------------------------------------------------------------

def is_monochrome(image):
    return image.colours() <= set(MONO_PALETTE)


def _pack_rows(indices, width, bits):
    """Packs rows of palette indices, bottom-up, each row padded to a multiple of 32 bits."""
    stride = ((width * bits + 31) // 32) * 4
    out = bytearray()
    for row in reversed(indices):
        line = bytearray(stride)
        for x, v in enumerate(row):
            bit = x * bits
            shift = 8 - bits - (bit % 8)
            line[bit // 8] |= (v & ((1 << bits) - 1)) << shift
        out += line
    return bytes(out)


def icon_image(image):
    """The DIB of one icon image: BITMAPINFOHEADER, palette, colour bitmap, AND mask."""
    if image.width > 256 or image.height > 256:
        raise IconError("%s: an icon image is at most 256 pixels wide" % image.name)
    palette, bits = (MONO_PALETTE, 1) if is_monochrome(image) else (PALETTE, 4)
    index = {c: i for i, c in enumerate(palette)}
    colour_rows, mask_rows = [], []
    for y, row in enumerate(image.rows):
        crow, mrow = [], []
        for x, p in enumerate(row):
            if p is None:
                crow.append(0)
                mrow.append(1)
            elif p in index:
                crow.append(index[p])
                mrow.append(0)
            else:
                raise IconError("%s: pixel %d,%d has colour #%02X%02X%02X, outside the 16-colour palette"
                                % ((image.name, x, y) + p))
        colour_rows.append(crow)
        mask_rows.append(mrow)
    xor = _pack_rows(colour_rows, image.width, bits)
    and_mask = _pack_rows(mask_rows, image.width, 1)
    header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height * 2, 1, bits, 0,
                         len(xor) + len(and_mask), 0, 0, len(palette), 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor + and_mask, len(palette), bits


def ico_bytes(images):
    if not images:
        raise IconError("an icon file needs at least one image")
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for image in images:
        blob, colours, bits = icon_image(image)
        entries.append(struct.pack("<BBBBHHII", image.width % 256, image.height % 256,
                                   colours % 256, 0, 1, bits, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# --- PNG --------------------------------------------------------------------------------------

def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_bytes(image):
    raw = bytearray()
    for row in image.rows:
        raw.append(0)  # filter: none
        for p in row:
            raw += bytes((0, 0, 0, 0)) if p is None else bytes((p[0], p[1], p[2], 255))
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


# --- Icon theme pictures ----------------------------------------------------------------------

def enlarged(image, factor, size):
    """image with every pixel a factor x factor block, centred on a transparent size x size square."""
    width, height = image.width * factor, image.height * factor
    if width > size or height > size:
        raise IconError("%s: %d x %d does not fit in %d x %d" % (image.name, width, height, size, size))
    left, top = (size - width) // 2, (size - height) // 2
    rows = [[None] * size for _ in range(size)]
    for y in range(height):
        for x in range(width):
            rows[top + y][left + x] = image.rows[y // factor][x // factor]
    return Image(size, size, rows, image.name)


def theme_image(images, size):
    def fill(image):
        factor = size // max(image.width, image.height)
        return factor * max(image.width, image.height), image.width * image.height, factor
    best = max(images, key=fill)
    factor = fill(best)[2]
    if factor < 1:
        raise IconError("%s: larger than %d x %d" % (best.name, size, size))
    return enlarged(best, factor, size)


def svg_bytes(image):
    rects = []
    for y, row in enumerate(image.rows):
        x = 0
        while x < image.width:
            end = x
            while end < image.width and row[end] == row[x]:
                end += 1
            if row[x] is not None:
                rects.append('  <rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>'
                             % ((x, y, end - x) + row[x]))
            x = end
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="%d" height="%d" viewBox="0 0 %d %d"'
            ' shape-rendering="crispEdges">\n%s\n</svg>\n'
            % (image.width, image.height, image.width, image.height, "\n".join(rects))).encode("ascii")


# --- Command line -----------------------------------------------------------------------------

def main(argv):
    usage = ("usage: xpm_icons.py ico OUTPUT.ico INPUT.xpm...\n       xpm_icons.py png OUTPUT.png INPUT.xpm\n"
             "       xpm_icons.py theme OUTPUT.png SIZE INPUT.xpm...\n       xpm_icons.py svg OUTPUT.svg INPUT.xpm\n")
    single = ("png", "svg")
    if (len(argv) < 4 or argv[1] not in ("ico", "png", "theme", "svg") or (argv[1] in single and len(argv) != 4)
            or (argv[1] == "theme" and (len(argv) < 5 or not argv[3].isdigit()))):
        sys.stderr.write(usage)
        return 2
    try:
        if argv[1] == "theme":
            data = png_bytes(theme_image([read_xpm(p) for p in argv[4:]], int(argv[3])))
        else:
            images = [read_xpm(p) for p in argv[3:]]
            data = {"ico": ico_bytes, "png": lambda i: png_bytes(i[0]), "svg": lambda i: svg_bytes(i[0])}[argv[1]](images)
    except (IconError, OSError, ValueError) as e:
        sys.stderr.write("xpm_icons.py: %s\n" % e)
        return 1
    with open(argv[2], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
