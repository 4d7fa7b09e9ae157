"""The build installed into a scratch prefix (Install) and made into a .deb (DebianPackage). Needs
LATCHSWEEP_BUILD_DIR, LATCHSWEEP_SCRATCH_DIR and CMAKE_COMMAND, or CPACK_COMMAND and DPKG_DEB."""

import configparser
import os
import shutil
import sys
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import SOURCE, load, read_bytes, read_png, run  # noqa: E402

BUILD, SCRATCH = os.environ["LATCHSWEEP_BUILD_DIR"], os.environ["LATCHSWEEP_SCRATCH_DIR"]
DESKTOP = "share/applications/latchsweep.desktop"
METAINFO = "share/metainfo/io.github.latchsweep.Latchsweep.metainfo.xml"
THEME_ICON = "share/icons/hicolor/%dx%d/apps/latchsweep.png"
PROGRAMS = ["bin/latchsweep", "bin/latchsweep-launch"]
EXPECTED_FILES = PROGRAMS + [DESKTOP, METAINFO, "share/latchsweep/help.txt"] + [THEME_ICON % (s, s) for s in (16, 32)]


def fresh_dir(*parts):
    path = os.path.join(SCRATCH, *parts)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = fresh_dir("prefix")
        run(os.environ.get("CMAKE_COMMAND", "cmake"), "--install", BUILD, "--prefix", cls.prefix)

    def path(self, *relative):
        return os.path.join(self.prefix, *relative)

    def test_layout_and_metadata(self):
        for relative in EXPECTED_FILES:
            self.assertTrue(os.path.isfile(self.path(relative)), relative + " is missing")
        for program in PROGRAMS:
            self.assertTrue(os.access(self.path(program), os.X_OK), program + " is not executable")
        self.assertEqual(read_bytes(self.path("share/latchsweep/help.txt")), read_bytes(SOURCE, "resources/help.txt"))
        for size in (16, 32):
            png, _ = read_png(read_bytes(self.path(THEME_ICON % (size, size))))
            self.assertEqual(png.pixels, load("magnet-%d" % size).pixels, "the theme icon is the application icon")
        # The desktop entry and the metainfo name installed files.
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(self.path(DESKTOP), encoding="utf-8")
        group = entry["Desktop Entry"]
        self.assertTrue(os.path.isfile(self.path("bin", group["Exec"].split()[0])))
        self.assertTrue(os.path.isfile(self.path("share/icons/hicolor/32x32/apps", group["Icon"] + ".png")))
        root = ElementTree.parse(self.path(METAINFO)).getroot()
        self.assertEqual(root.find("launchable").text, os.path.basename(DESKTOP))
        self.assertTrue(os.path.isfile(self.path("bin", root.find("provides/binary").text)))

    def launch(self, data_home, home, shipped_help="shipped help\r\n", via=None):
        """Runs the launcher of an installed tree whose program only records its working directory."""
        prefix = os.path.join(SCRATCH, "launch-prefix")
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.copytree(self.prefix, prefix, symlinks=True)
        for name, text in (("bin/latchsweep", '#!/bin/sh\npwd > "$PROBE"\necho "args:$#" >> "$PROBE"\n'),
                           ("share/latchsweep/help.txt", shipped_help)):
            with open(os.path.join(prefix, name), "w") as f:
                f.write(text)
        launcher = os.path.join(via or os.path.join(prefix, "bin"), "latchsweep-launch")
        if via:
            os.symlink(os.path.join(prefix, "bin", "latchsweep-launch"), launcher)
        probe = os.path.join(SCRATCH, "probe.txt")
        run(launcher, cwd=SCRATCH, env={"HOME": home, "XDG_DATA_HOME": data_home, "PROBE": probe,
                                        "PATH": os.environ.get("PATH", "/usr/bin:/bin")})
        return read_bytes(probe).decode().splitlines()

    def test_launcher_runs_the_program_in_the_per_user_directory_and_keeps_its_help(self):
        data_home = fresh_dir("data-home")
        workdir, args = self.launch(data_home, fresh_dir("home"))
        self.assertEqual(os.path.realpath(workdir), os.path.realpath(os.path.join(data_home, "latchsweep")))
        self.assertEqual(args, "args:0")
        self.assertEqual(read_bytes(workdir, "help.txt"), b"shipped help\r\n")
        with open(os.path.join(workdir, "help.txt"), "w") as f:
            f.write("my own notes\n")
        self.launch(data_home, fresh_dir("home"), shipped_help="a newer shipped help\r\n")
        self.assertEqual(read_bytes(workdir, "help.txt"), b"my own notes\n", "the user's help text is kept")

    def test_launcher_defaults_to_local_share_and_follows_symlinks(self):
        home = fresh_dir("home-default")
        workdir, _ = self.launch("", home, via=fresh_dir("elsewhere", "bin"))
        self.assertEqual(os.path.realpath(workdir), os.path.realpath(os.path.join(home, ".local/share/latchsweep")))
        self.assertEqual(read_bytes(workdir, "help.txt"), b"shipped help\r\n")


class DebianPackage(unittest.TestCase):
    def test_package_contents_and_fields(self):
        out = fresh_dir("deb")
        run(os.environ.get("CPACK_COMMAND", "cpack"), "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out)
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        self.assertEqual(len(debs), 1, debs)
        dpkg_deb, deb = os.environ.get("DPKG_DEB", "dpkg-deb"), os.path.join(out, debs[0])
        paths = {line.split()[-1].lstrip(".") for line in run(dpkg_deb, "-c", deb).splitlines() if line.strip()}
        self.assertLessEqual({"/usr/" + relative for relative in EXPECTED_FILES}, paths)
        fields = run(dpkg_deb, "-f", deb, "Package", "Version", "Maintainer", "Depends")
        for field in ("Package: latchsweep", "Version: 1.0.0.0", "Maintainer: Latchsweep developers", "libqt6widgets6"):
            self.assertIn(field, fields)


if __name__ == "__main__":
    unittest.main()
