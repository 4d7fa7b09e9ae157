"""Checks the pixel art in resources/icons: sizes, palette, and what each picture must show.

    LATCHSWEEP_SOURCE_DIR=<source tree> python3 test_art.py
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import (BLACK, BLUE, DARK_GREEN, DARK_RED, GREEN, GREY, LIGHT_GREY, RED,  # noqa: E402
                           STANDARD_PALETTE, WHITE, read_xpm)

ICONS = os.path.join(os.environ.get("LATCHSWEEP_SOURCE_DIR",
                                    os.path.join(os.path.dirname(__file__), os.pardir, os.pardir)),
                     "resources", "icons")

EXPECTED = {
    "magnet-32", "magnet-16", "frame1-32", "frame2-32", "binoculars-32", "binoculars-16",
    "wastebin-32", "wastebin-16", "question-red-32", "question-green-32", "question-mono-32",
    "info-32", "info-16", "product-32", "product-16",
}


def load(name):
    return read_xpm(os.path.join(ICONS, name + ".xpm"))


def spans(xs):
    """Runs of consecutive numbers in a set, as (first, last) pairs."""
    runs = []
    for x in sorted(xs):
        if runs and x == runs[-1][1] + 1:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return [tuple(r) for r in runs]


class EveryPicture(unittest.TestCase):
    def test_the_set_of_files_is_complete(self):
        present = {f[:-4] for f in os.listdir(ICONS) if f.endswith(".xpm")}
        self.assertEqual(EXPECTED - present, set(), "pictures missing")

    def test_size_palette_and_transparent_corners(self):
        for name in sorted(EXPECTED):
            with self.subTest(name):
                pic = load(name)
                size = int(name.rsplit("-", 1)[1])
                self.assertEqual((pic.width, pic.height), (size, size))
                stray = pic.colours() - set(STANDARD_PALETTE)
                self.assertEqual(stray, set(), "colours outside the standard 16-colour palette")
                self.assertLessEqual(len(pic.colours()), 16)
                self.assertGreater(len(pic.opaque()), size * size // 8, "next to nothing drawn")
                for corner in [(0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)]:
                    self.assertIsNone(pic.pixels[corner[1]][corner[0]], "corner %s not transparent" % (corner,))


class Magnet(unittest.TestCase):
    def check_magnet(self, pic, name):
        red, grey, black = pic.where(RED), pic.where(LIGHT_GREY), pic.where(BLACK)
        self.assertTrue(red and grey and black, "%s: needs red, light grey and black" % name)
        # Poles down: the red bow is above the grey tips, and the tips are two separate poles.
        self.assertLess(min(y for _, y in red), min(y for _, y in grey), name)
        bottom_tip_row = max(y for _, y in grey)
        self.assertEqual(len(spans(x for x, y in grey if y == bottom_tip_row)), 2, "%s: two pole tips" % name)
        # The U is open at the bottom: between the poles, right under the bow, there is background.
        middle = pic.width // 2
        self.assertIsNone(pic.pixels[bottom_tip_row][middle], name)
        self.assertIsNone(pic.pixels[bottom_tip_row][middle - 1], name)
        # Red is outlined in black: no red pixel touches the transparent background.
        for x, y in red:
            for dx, dy in [(1, 0), (-1, 0), (0, 1), (0, -1)]:
                if 0 <= x + dx < pic.width and 0 <= y + dy < pic.height:
                    self.assertIsNotNone(pic.pixels[y + dy][x + dx], "%s: red at %d,%d is not outlined" % (name, x, y))

    def sparks(self, pic):
        """Black pixels below the pole tips' outline: the spark marks."""
        below = max(y for _, y in pic.where(LIGHT_GREY)) + 1
        return {(x, y) for x, y in pic.where(BLACK) if y > below}

    def test_application_icon_both_sizes(self):
        for name in ("magnet-32", "magnet-16"):
            pic = load(name)
            self.check_magnet(pic, name)
            sparks = self.sparks(pic)
            self.assertTrue(sparks, "%s: no spark marks below the poles" % name)
            xs = {x for x, _ in sparks}
            self.assertTrue(min(xs) < pic.width // 2 <= max(xs), "%s: sparks under both poles" % name)

    def test_frames_use_only_black_light_grey_and_red(self):
        for name in ("frame1-32", "frame2-32"):
            with self.subTest(name):
                pic = load(name)
                self.check_magnet(pic, name)
                self.assertEqual(pic.colours(), {BLACK, LIGHT_GREY, RED})

    def test_frames_differ_only_by_the_spark_marks(self):
        one, two = load("frame1-32"), load("frame2-32")
        self.assertTrue(two.opaque() < one.opaque(), "frame 2's opaque pixels are not a subset of frame 1's")
        for x, y in two.opaque():
            self.assertEqual(one.pixels[y][x], two.pixels[y][x], "frames differ at %d,%d" % (x, y))
        extra = one.opaque() - two.opaque()
        self.assertEqual({one.pixels[y][x] for x, y in extra}, {BLACK}, "the marks are black")
        self.assertEqual(extra, self.sparks(one), "frame 1 adds exactly the marks below the poles")
        self.assertEqual(self.sparks(two), set(), "frame 2 has no spark marks")

    def test_start_up_icon_shows_the_first_frame(self):
        self.assertEqual(load("magnet-32").pixels, load("frame1-32").pixels)


class WindowIcons(unittest.TestCase):
    def test_binoculars_black_and_greys(self):
        for name in ("binoculars-32", "binoculars-16"):
            with self.subTest(name):
                pic = load(name)
                self.assertLessEqual(pic.colours(), {BLACK, GREY, LIGHT_GREY})
                self.assertIn(BLACK, pic.colours())
                # Two lenses side by side: the picture is nearly mirror-symmetric.
                mirrored = sum(1 for x, y in pic.opaque() if pic.pixels[y][pic.width - 1 - x] is not None)
                self.assertGreater(mirrored, 0.9 * len(pic.opaque()))

    def test_waste_bin_grey_with_a_shadow(self):
        for name in ("wastebin-32", "wastebin-16"):
            with self.subTest(name):
                pic = load(name)
                self.assertLessEqual(pic.colours(), {BLACK, GREY, LIGHT_GREY, WHITE})
                self.assertTrue({GREY, LIGHT_GREY} <= pic.colours())
                # The shadow falls outside the black outline, on the right.
                shadow = [(x, y) for x, y in pic.where(GREY)
                          if all(pic.pixels[y][xx] != BLACK for xx in range(x, pic.width))]
                self.assertTrue(shadow, "%s: no shadow beside the bin" % name)

    def test_question_marks(self):
        discs = {"question-red-32": (WHITE, RED), "question-green-32": ({GREEN, DARK_GREEN}, WHITE),
                 "question-mono-32": (WHITE, BLACK)}
        for name, (disc, mark) in discs.items():
            with self.subTest(name):
                pic = load(name)
                centre_row = pic.pixels[pic.height // 2]
                discs_colours = disc if isinstance(disc, set) else {disc}
                self.assertIn(centre_row[2], discs_colours, "the disc reaches out to the sides")
                inner = {(x, y) for x, y in pic.where(mark) if (x - 15.5) ** 2 + (y - 15.5) ** 2 < 13 ** 2}
                self.assertGreater(len(inner), 40, "%s: no question mark on the disc" % name)
                if mark != BLACK:  # a black mark shares its colour with the rim
                    self.assertEqual(inner, pic.where(mark), "%s: the mark strays onto the rim" % name)
                # A question mark: a hook on top, a separate dot below it.
                rows = sorted({y for _, y in inner})
                gaps = [y for y in range(rows[0], rows[-1]) if y not in rows]
                self.assertTrue(gaps, "%s: the dot is not apart from the hook" % name)
        self.assertLessEqual(load("question-mono-32").colours(), {BLACK, WHITE})

    def test_information_sign(self):
        for name in ("info-32", "info-16"):
            with self.subTest(name):
                pic = load(name)
                self.assertEqual(pic.colours(), {WHITE, GREY, BLUE})
                # The letter is inside the balloon, and the balloon is white inside a grey outline.
                for x, y in pic.where(BLUE):
                    self.assertNotIn(None, [pic.pixels[y][x - 1], pic.pixels[y][x + 1]])
                self.assertGreater(len(pic.where(WHITE)), len(pic.where(BLUE)))
                for x, y in pic.where(WHITE):
                    for dx, dy in [(1, 0), (-1, 0), (0, 1), (0, -1)]:
                        self.assertIsNotNone(pic.pixels[y + dy][x + dx], "%s: white at %d,%d has no outline" % (name, x, y))

    def test_product_picture_red_and_dark_red(self):
        for name in ("product-32", "product-16"):
            with self.subTest(name):
                self.assertEqual(load(name).colours(), {RED, DARK_RED})


if __name__ == "__main__":
    unittest.main()
