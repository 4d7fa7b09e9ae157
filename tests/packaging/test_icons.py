"""The pixel art of resources/icons (Art); tools/xpm_icons.py on small hand-made pictures
(Converter); the icons the build made ($LATCHSWEEP_ICON_DIR) read back with the independent
readers of picture_files.py (GeneratedIcons), and ImageMagick's reading of them ($IDENTIFY)."""

import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import (BLACK, BLUE, DARK_RED, GREY, ICONS, LIGHT_GREY, PICTURES, RED, SOURCE,  # noqa: E402
                           STANDARD_PALETTE, WHITE, load, read_bytes, read_ico, read_png)

GENERATED = os.environ.get("LATCHSWEEP_ICON_DIR", "")
MAGNET, ANY = {BLACK, LIGHT_GREY, RED}, set(STANDARD_PALETTE)
COLOURS = {  # per picture, whatever its size: (colours it must have, colours it may have)
    "magnet": (MAGNET, ANY), "frame1": (MAGNET, MAGNET), "frame2": (MAGNET, MAGNET),
    "binoculars": ({BLACK}, {BLACK, GREY, LIGHT_GREY}),
    "wastebin": ({GREY, LIGHT_GREY}, {BLACK, GREY, LIGHT_GREY, WHITE}),
    "question-red": ({WHITE, RED}, ANY), "question-green": ({WHITE}, ANY),
    "question-mono": ({BLACK, WHITE}, {BLACK, WHITE}),
    "info": ({WHITE, GREY, BLUE}, {WHITE, GREY, BLUE}), "product": ({RED, DARK_RED}, {RED, DARK_RED}),
}


def sparks(pic):
    """Black pixels below the outline of the magnet's pole tips: the spark marks."""
    below = max(y for _, y in pic.where(LIGHT_GREY)) + 1
    return {(x, y) for x, y in pic.where(BLACK) if y > below}


class Art(unittest.TestCase):
    def test_every_picture(self):
        for name in PICTURES:
            with self.subTest(name):
                pic, size = load(name), int(name.rsplit("-", 1)[1])
                self.assertEqual((pic.width, pic.height), (size, size))
                must, may = COLOURS[name.rsplit("-", 1)[0]]
                self.assertLessEqual(must, pic.colours())
                self.assertLessEqual(pic.colours(), may & set(STANDARD_PALETTE), "colours outside the allowed ones")
                self.assertGreater(len(pic.opaque()), size * size // 8, "next to nothing drawn")
                for x, y in [(0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)]:
                    self.assertIsNone(pic.pixels[y][x], "corner %d,%d not transparent" % (x, y))

    def test_magnets_poles_down_outlined_red(self):
        for name in ("magnet-32", "magnet-16", "frame1-32", "frame2-32"):
            with self.subTest(name):
                pic = load(name)
                red, grey = pic.where(RED), pic.where(LIGHT_GREY)
                self.assertLess(min(y for _, y in red), min(y for _, y in grey), "the red bow above the grey tips")
                tips = max(y for _, y in grey)
                xs = sorted(x for x, y in grey if y == tips)
                self.assertEqual(sum(b > a + 1 for a, b in zip(xs, xs[1:])), 1, "two pole tips")
                self.assertEqual(pic.pixels[tips][pic.width // 2 - 1:pic.width // 2 + 1], [None] * 2, "the U is open")
                around = {(x + dx, y + dy) for x, y in red for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))}
                inside = [pic.pixels[y][x] for x, y in around if 0 <= x < pic.width and 0 <= y < pic.height]
                self.assertNotIn(None, inside, "red not outlined")

    def test_sparks_under_both_poles_and_the_frames_differ_only_by_them(self):
        for name in ("magnet-32", "magnet-16"):
            xs = {x for x, _ in sparks(load(name))}
            self.assertTrue(xs and min(xs) < load(name).width // 2 <= max(xs), "%s: sparks under both poles" % name)
        one, two = load("frame1-32"), load("frame2-32")
        self.assertEqual(load("magnet-32").pixels, one.pixels, "the start-up icon shows the first frame")
        self.assertTrue(two.opaque() < one.opaque())
        self.assertTrue(all(one.pixels[y][x] == two.pixels[y][x] for x, y in two.opaque()), "frames differ elsewhere")
        self.assertEqual(one.opaque() - two.opaque(), sparks(one), "frame 1 adds exactly the marks")
        self.assertEqual(sparks(two), set(), "frame 2 has no marks")


def run_tool(*args):
    return subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "xpm_icons.py"), *args],
                          capture_output=True, text=True)


class Converter(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self.tmp.cleanup)

    def xpm(self, name, rows, colours):
        lines = ['"%d %d %d 1"' % (len(rows[0]), len(rows), len(colours))]
        lines += ['"%s c %s"' % item for item in colours.items()] + ['"%s"' % r for r in rows]
        path = os.path.join(self.tmp.name, name)
        with open(path, "w") as f:
            f.write("/* XPM */\nstatic const char* x[] = {\n/* colours and pixels */\n%s\n};\n" % ",\n".join(lines))
        return path

    def test_odd_width_rows_are_padded_to_32_bits_and_stored_bottom_up(self):
        # 5 pixels: 20 bits of colour per row -> 4 bytes; 5 mask bits -> 4 bytes.
        path = self.xpm("odd.xpm", ["RWk.B", ".....", "kkkkk"],
                        {".": "None", "R": "#FF0000", "W": "#FFFFFF", "k": "#000000", "B": "#0000FF"})
        out = os.path.join(self.tmp.name, "out.ico")
        self.assertEqual(run_tool("ico", out, path).returncode, 0)
        data = read_bytes(out)
        (image,) = read_ico(data)
        self.assertEqual(image.entry[:7], (5, 3, 16, 0, 1, 4, 40 + 64 + 3 * 4 + 3 * 4))
        self.assertEqual(image.header[1:5], (5, 6, 1, 4))
        self.assertEqual((image.palette, image.indices, image.mask),
                         (STANDARD_PALETTE, [[9, 15, 0, 0, 12], [0] * 5, [0] * 5], [[0, 0, 0, 1, 0], [1] * 5, [0] * 5]))
        bits = 6 + 16 + 40 + 64
        self.assertEqual(data[bits:bits + 4], bytes(4), "the picture's last row is stored first")
        self.assertEqual(data[bits + 8:bits + 12], bytes([0x9F, 0x00, 0xC0, 0x00]))
        self.assertEqual(data[bits + 20:bits + 24], bytes([0b00010000, 0, 0, 0]))

    def test_bad_pictures_are_refused(self):
        cases = {"FF8000": self.xpm("palette.xpm", ["ab"], {"a": "#FF0000", "b": "#FF8000"}),
                 "short.xpm": self.xpm("short.xpm", ["ab", "a"], {"a": "#FF0000", "b": "None"}),
                 "unknown.xpm": self.xpm("unknown.xpm", ["az"], {"a": "#FF0000"})}
        for message, path in cases.items():
            with self.subTest(message):
                out = os.path.join(self.tmp.name, "x.ico")
                result = run_tool("ico", out, path)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(message, result.stderr)
                self.assertFalse(os.path.exists(out))


class GeneratedIcons(unittest.TestCase):
    def test_every_icon_matches_its_pictures(self):
        for name, pictures in ICONS.items():
            with self.subTest(name):
                images = read_ico(read_bytes(GENERATED, name + ".ico"))
                self.assertEqual(len(images), len(pictures))
                for image, picture in zip(images, pictures):
                    xpm = load(picture)
                    mono = xpm.colours() <= {BLACK, WHITE}
                    kind = (2, 0, 1, 1) if mono else (16, 0, 1, 4)  # colours, reserved, planes, bits
                    self.assertEqual(image.entry[:6], (xpm.width, xpm.height, *kind))
                    self.assertEqual(image.header[1:3], (xpm.width, 2 * xpm.height), picture)
                    self.assertEqual(image.palette, [BLACK, WHITE] if mono else STANDARD_PALETTE)
                    self.assertEqual(image.picture.pixels, xpm.pixels, picture)
                    # Transparent pixels are black in the colour bitmap, so the AND/XOR pair leaves the screen.
                    for indices, mask in zip(image.indices, image.mask):
                        self.assertEqual([i for i, bit in zip(indices, mask) if bit], [0] * sum(mask))

    def test_every_png_matches_its_picture(self):
        for picture in PICTURES:
            with self.subTest(picture):
                png, alphas = read_png(read_bytes(GENERATED, picture + ".png"))
                self.assertEqual(png.pixels, load(picture).pixels)
                self.assertLessEqual(alphas, {0, 255})


class ThemeIcons(unittest.TestCase):
    """The theme icons the package installs, each size from the art that scales to it by a whole factor."""
    SOURCES = {16: ("magnet-16", 1), 22: ("magnet-16", 1), 24: ("magnet-16", 1), 32: ("magnet-32", 1),
               48: ("magnet-16", 3), 64: ("magnet-32", 2), 128: ("magnet-32", 4), 256: ("magnet-32", 8)}

    def test_every_size_is_the_magnet_enlarged_and_centred(self):
        for size, (name, factor) in self.SOURCES.items():
            with self.subTest(size):
                art = load(name)
                pad = (size - art.width * factor) // 2
                expected = [[None] * size for _ in range(size)]
                for y in range(art.height * factor):
                    for x in range(art.width * factor):
                        expected[pad + y][pad + x] = art.pixels[y // factor][x // factor]
                png, alphas = read_png(read_bytes(os.environ["LATCHSWEEP_THEME_ICON_DIR"], "latchsweep-%d.png" % size))
                self.assertEqual(png.pixels, expected)
                self.assertLessEqual(alphas, {0, 255}, "no blended edges")

    def test_scalable_icon_is_the_magnets_pixels_as_squares(self):
        root = ElementTree.parse(os.path.join(os.environ["LATCHSWEEP_THEME_ICON_DIR"], "latchsweep.svg")).getroot()
        art = load("magnet-32")
        self.assertEqual(root.get("viewBox"), "0 0 32 32")
        drawn = [[None] * 32 for _ in range(32)]
        for rect in root.iter("{http://www.w3.org/2000/svg}rect"):
            x, y, width, height = (int(rect.get(k)) for k in ("x", "y", "width", "height"))
            colour = tuple(int(rect.get("fill")[i:i + 2], 16) for i in (1, 3, 5))
            for row in range(y, y + height):
                for column in range(x, x + width):
                    self.assertIsNone(drawn[row][column], "squares overlap at %d,%d" % (column, row))
                    drawn[row][column] = colour
        self.assertEqual(drawn, art.pixels)


class Identify(unittest.TestCase):
    def test_imagemagick_reads_every_icon_at_its_sizes(self):
        for name, pictures in ICONS.items():
            with self.subTest(name):
                done = subprocess.run([os.environ["IDENTIFY"], "-format", "%wx%h;",
                                       os.path.join(GENERATED, name + ".ico")], capture_output=True, text=True)
                expected = "".join("%sx%s;" % ((p.rsplit("-", 1)[1],) * 2) for p in pictures)
                self.assertEqual((done.returncode, done.stderr, done.stdout), (0, "", expected))


if __name__ == "__main__":
    unittest.main()
