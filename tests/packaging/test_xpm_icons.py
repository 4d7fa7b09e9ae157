"""Tests of tools/xpm_icons.py, and a round trip of the icons the build made from the pixel art.

    LATCHSWEEP_SOURCE_DIR=<source tree> LATCHSWEEP_ICON_DIR=<generated icons> python3 test_xpm_icons.py

Every output is read back with the independent readers in picture_files.py.
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.environ.get("LATCHSWEEP_SOURCE_DIR", os.path.join(HERE, os.pardir, os.pardir))
GENERATED = os.environ.get("LATCHSWEEP_ICON_DIR")
TOOL = os.path.join(SOURCE, "tools", "xpm_icons.py")
ART = os.path.join(SOURCE, "resources", "icons")

sys.path.insert(0, HERE)
from picture_files import (BLACK, LIGHT_GREY, RED, STANDARD_PALETTE, WHITE, read_ico, read_png,  # noqa: E402
                           read_xpm)

# What each generated icon file holds, in order.
ICONS = {
    "magnet": ["magnet-32", "magnet-16"],
    "frame1": ["frame1-32"],
    "frame2": ["frame2-32"],
    "binoculars": ["binoculars-32", "binoculars-16"],
    "wastebin": ["wastebin-32", "wastebin-16"],
    "question": ["question-red-32", "question-green-32", "question-mono-32"],
    "info": ["info-32", "info-16"],
    "product": ["product-32", "product-16"],
}


def run_tool(*args):
    return subprocess.run([sys.executable, TOOL] + list(args), capture_output=True, text=True)


class Converter(unittest.TestCase):
    """The converter on small hand-made pictures whose bytes are known."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)

    def xpm(self, name, rows, colours, cpp=1):
        path = os.path.join(self.tmp.name, name)
        width = len(rows[0]) // cpp
        lines = ['"%d %d %d %d",' % (width, len(rows), len(colours), cpp)]
        lines += ['"%s c %s",' % (k, v) for k, v in colours.items()]
        lines += ['"%s",' % r for r in rows]
        with open(path, "w") as f:
            f.write("/* XPM */\nstatic const char* x[] = {\n/* colours and pixels */\n%s\n};\n"
                    % "\n".join(lines).rstrip(","))
        return path

    def convert(self, kind, *inputs):
        out = os.path.join(self.tmp.name, "out." + kind)
        result = run_tool(kind, out, *inputs)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            return f.read()

    def test_odd_width_rows_are_padded_to_32_bits(self):
        # 5 pixels: 20 bits of colour per row -> 4 bytes; 5 mask bits -> 4 bytes.
        path = self.xpm("odd.xpm", ["RWk.B", ".....", "kkkkk"],
                        {".": "None", "R": "#FF0000", "W": "#FFFFFF", "k": "#000000", "B": "#0000FF"})
        data = self.convert("ico", path)
        (image,) = read_ico(data)
        self.assertEqual(image.entry[:6], (5, 3, 16, 0, 1, 4))
        self.assertEqual(image.header[1:5], (5, 6, 1, 4))
        self.assertEqual(image.entry[6], 40 + 64 + 3 * 4 + 3 * 4)
        self.assertEqual(image.palette, STANDARD_PALETTE)
        self.assertEqual(image.indices, [[9, 15, 0, 0, 12], [0] * 5, [0] * 5])
        self.assertEqual(image.mask, [[0, 0, 0, 1, 0], [1] * 5, [0] * 5])
        # The last row of the picture is the first one stored: bottom-up.
        first_stored = data[6 + 16 + 40 + 64:6 + 16 + 40 + 64 + 4]
        self.assertEqual(first_stored, bytes([0x00, 0x00, 0x00, 0x00]))
        top_stored = data[6 + 16 + 40 + 64 + 8:6 + 16 + 40 + 64 + 12]
        self.assertEqual(top_stored, bytes([0x9F, 0x00, 0xC0, 0x00]))
        mask_top = data[6 + 16 + 40 + 64 + 12 + 8:6 + 16 + 40 + 64 + 12 + 12]
        self.assertEqual(mask_top, bytes([0b00010000, 0, 0, 0]))

    def test_several_images_follow_each_other(self):
        big = self.xpm("big.xpm", ["RR", "R."], {".": "None", "R": "#FF0000"})
        small = self.xpm("small.xpm", ["k"], {"k": "#000000"})
        data = self.convert("ico", big, small)
        self.assertEqual(struct.unpack_from("<HHH", data), (0, 1, 2))
        first, second = read_ico(data)
        self.assertEqual(first.entry[7], 6 + 2 * 16)
        self.assertEqual(second.entry[7], first.entry[7] + first.entry[6])
        self.assertEqual(len(data), second.entry[7] + second.entry[6])
        self.assertEqual(first.picture.pixels, [[RED, RED], [RED, None]])
        self.assertEqual(second.picture.pixels, [[BLACK]])

    def test_black_and_white_pictures_become_monochrome_images(self):
        path = self.xpm("mono.xpm", ["kW.", "Wk."], {".": "None", "k": "#000000", "W": "#FFFFFF"})
        (image,) = read_ico(self.convert("ico", path))
        self.assertEqual(image.entry[2], 2)
        self.assertEqual(image.entry[5], 1)
        self.assertEqual(image.header[4], 1)
        self.assertEqual(image.palette, [BLACK, WHITE])
        self.assertEqual(image.picture.pixels, [[BLACK, WHITE, None], [WHITE, BLACK, None]])

    def test_colour_forms_and_two_characters_per_pixel(self):
        path = self.xpm("forms.xpm", ["aabbcc", "ddeeaa"],
                        {"aa": "#f00", "bb": "#C0C0C0", "cc": "black", "dd": "#FFFF00000000", "ee": "None"}, cpp=2)
        (image,) = read_ico(self.convert("ico", path))
        self.assertEqual(image.picture.pixels, [[RED, LIGHT_GREY, BLACK], [RED, None, RED]])

    def test_png_keeps_colours_and_transparency(self):
        path = self.xpm("p.xpm", ["R.", "kl"], {".": "None", "R": "#FF0000", "k": "#000000", "l": "#C0C0C0"})
        picture, alphas = read_png(self.convert("png", path))
        self.assertEqual(picture.pixels, [[RED, None], [BLACK, LIGHT_GREY]])
        self.assertEqual(alphas, {0, 255})

    def test_colours_outside_the_palette_are_refused(self):
        path = self.xpm("bad.xpm", ["ab"], {"a": "#FF0000", "b": "#FF8000"})
        out = os.path.join(self.tmp.name, "bad.ico")
        result = run_tool("ico", out, path)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("FF8000", result.stderr)
        self.assertFalse(os.path.exists(out))

    def test_malformed_pictures_are_refused(self):
        short_row = self.xpm("short.xpm", ["ab", "a"], {"a": "#FF0000", "b": "None"})
        unknown = self.xpm("unknown.xpm", ["az"], {"a": "#FF0000"})
        for path in (short_row, unknown):
            with self.subTest(os.path.basename(path)):
                result = run_tool("ico", os.path.join(self.tmp.name, "x.ico"), path)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(os.path.basename(path), result.stderr)

    def test_usage(self):
        self.assertEqual(run_tool("bmp", "x", "y").returncode, 2)
        self.assertEqual(run_tool("png", "x.png", "a.xpm", "b.xpm").returncode, 2)


class GeneratedIcons(unittest.TestCase):
    """The build's icons, read back and compared with the pixel art they came from."""

    def setUp(self):
        self.assertTrue(GENERATED and os.path.isdir(GENERATED),
                        "LATCHSWEEP_ICON_DIR must name the directory of the icons the build generated")

    def test_every_icon_matches_its_pictures(self):
        for name, pictures in ICONS.items():
            with self.subTest(name):
                with open(os.path.join(GENERATED, name + ".ico"), "rb") as f:
                    data = f.read()
                images = read_ico(data)
                self.assertEqual(len(images), len(pictures))
                for image, picture in zip(images, pictures):
                    xpm = read_xpm(os.path.join(ART, picture + ".xpm"))
                    mono = xpm.colours() <= {BLACK, WHITE}
                    width, height, colours, reserved, planes, bits, size, _ = image.entry
                    self.assertEqual((width, height), (xpm.width, xpm.height), picture)
                    self.assertEqual((colours, reserved, planes, bits), (2, 0, 1, 1) if mono else (16, 0, 1, 4))
                    self.assertEqual(image.header[1:3], (xpm.width, 2 * xpm.height), picture)
                    self.assertEqual(image.palette, [BLACK, WHITE] if mono else STANDARD_PALETTE)
                    self.assertEqual(image.picture.pixels, xpm.pixels, picture)
                    self.assertEqual(image.mask, [[1 if p is None else 0 for p in row] for row in xpm.pixels])
                    # Transparent pixels are black in the colour bitmap, so the AND/XOR pair leaves the screen.
                    for y, row in enumerate(image.mask):
                        for x, bit in enumerate(row):
                            if bit:
                                self.assertEqual(image.indices[y][x], 0)

    def test_the_help_icon_has_three_32_pixel_images(self):
        with open(os.path.join(GENERATED, "question.ico"), "rb") as f:
            images = read_ico(f.read())
        self.assertEqual([i.entry[:2] for i in images], [(32, 32)] * 3)
        self.assertEqual([i.entry[5] for i in images], [4, 4, 1])

    def test_every_png_matches_its_picture(self):
        for pictures in ICONS.values():
            for picture in pictures:
                with self.subTest(picture):
                    with open(os.path.join(GENERATED, picture + ".png"), "rb") as f:
                        png, alphas = read_png(f.read())
                    xpm = read_xpm(os.path.join(ART, picture + ".xpm"))
                    self.assertEqual((png.width, png.height), (xpm.width, xpm.height))
                    self.assertEqual(png.pixels, xpm.pixels)
                    self.assertLessEqual(alphas, {0, 255})


if __name__ == "__main__":
    unittest.main()
