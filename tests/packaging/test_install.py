"""Installs the build into a scratch prefix and checks the layout, the launcher and the .deb.

    LATCHSWEEP_SOURCE_DIR=<source tree> LATCHSWEEP_BUILD_DIR=<build tree>
    LATCHSWEEP_SCRATCH_DIR=<empty directory> CMAKE_COMMAND=<cmake> python3 test_install.py Install
    ... CPACK_COMMAND=<cpack> DPKG_DEB=<dpkg-deb> python3 test_install.py DebianPackage
"""

import configparser
import os
import shutil
import stat
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from picture_files import read_png, read_xpm  # noqa: E402

SOURCE = os.environ.get("LATCHSWEEP_SOURCE_DIR", os.path.join(HERE, os.pardir, os.pardir))
BUILD = os.environ.get("LATCHSWEEP_BUILD_DIR", "")
SCRATCH = os.environ.get("LATCHSWEEP_SCRATCH_DIR", "")
SHIPPED_HELP = os.path.join(SOURCE, "resources", "help.txt")

DESKTOP = "share/applications/latchsweep.desktop"
METAINFO = "share/metainfo/io.github.latchsweep.Latchsweep.metainfo.xml"
EXPECTED_FILES = [
    "bin/latchsweep",
    "bin/latchsweep-launch",
    DESKTOP,
    METAINFO,
    "share/icons/hicolor/16x16/apps/latchsweep.png",
    "share/icons/hicolor/32x32/apps/latchsweep.png",
    "share/latchsweep/help.txt",
]


def fresh_dir(*parts):
    path = os.path.join(SCRATCH, *parts)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def run(*args, **kwargs):
    result = subprocess.run(list(args), capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        raise AssertionError("%s failed (%d):\n%s%s" % (" ".join(args), result.returncode, result.stdout, result.stderr))
    return result.stdout


class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        assert BUILD and SCRATCH, "LATCHSWEEP_BUILD_DIR and LATCHSWEEP_SCRATCH_DIR are required"
        cls.prefix = fresh_dir("prefix")
        run(os.environ.get("CMAKE_COMMAND", "cmake"), "--install", BUILD, "--prefix", cls.prefix)

    def path(self, relative):
        return os.path.join(self.prefix, relative)

    def test_expected_files_are_installed(self):
        self.assertTrue(os.path.isfile(SHIPPED_HELP), "resources/help.txt is part of the package")
        for relative in EXPECTED_FILES:
            self.assertTrue(os.path.isfile(self.path(relative)), relative + " is missing")
        for program in ("bin/latchsweep", "bin/latchsweep-launch"):
            self.assertTrue(os.stat(self.path(program)).st_mode & stat.S_IXUSR, program + " is not executable")

    def test_shipped_help_text_is_the_source_copy(self):
        with open(SHIPPED_HELP, "rb") as a, open(self.path("share/latchsweep/help.txt"), "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_theme_icons_are_the_application_icon(self):
        for size in (16, 32):
            with self.subTest(size=size):
                with open(self.path("share/icons/hicolor/%dx%d/apps/latchsweep.png" % (size, size)), "rb") as f:
                    png, _ = read_png(f.read())
                xpm = read_xpm(os.path.join(SOURCE, "resources", "icons", "magnet-%d.xpm" % size))
                self.assertEqual((png.width, png.height), (size, size))
                self.assertEqual(png.pixels, xpm.pixels)

    def test_desktop_entry_points_at_installed_files(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path(DESKTOP), encoding="utf-8")
        group = entry["Desktop Entry"]
        self.assertEqual(group["Name"], "Latchsweep")
        self.assertEqual(group["Icon"], "latchsweep")
        self.assertEqual(group["Categories"], "Utility;Game;")
        self.assertTrue(os.path.isfile(self.path(os.path.join("bin", group["Exec"].split()[0]))))

    def test_metainfo_names_the_desktop_entry_and_binary(self):
        root = ElementTree.parse(self.path(METAINFO)).getroot()
        self.assertEqual(root.find("launchable").text, os.path.basename(DESKTOP))
        self.assertEqual(root.find("provides/binary").text, "latchsweep")

    def launch(self, prefix, env):
        """Runs the launcher with a stand-in program that records where and how it was started."""
        probe = os.path.join(SCRATCH, "probe.txt")
        if os.path.exists(probe):
            os.remove(probe)
        env = dict(env, PATH=os.environ.get("PATH", "/usr/bin:/bin"), PROBE=probe)
        run(os.path.join(prefix, "bin", "latchsweep-launch"), env=env, cwd=SCRATCH)
        with open(probe) as f:
            return f.read().splitlines()

    def stand_in_prefix(self):
        """A copy of the installed tree whose program only reports its working directory."""
        prefix = os.path.join(SCRATCH, "launch-prefix")
        shutil.rmtree(prefix, ignore_errors=True)
        shutil.copytree(self.prefix, prefix, symlinks=True)
        program = os.path.join(prefix, "bin", "latchsweep")
        os.remove(program)
        with open(program, "w") as f:
            f.write('#!/bin/sh\npwd > "$PROBE"\necho "args:$#" >> "$PROBE"\n')
        os.chmod(program, 0o755)
        # A help text of the test's own, so that a copy can be told from any other file.
        os.makedirs(os.path.join(prefix, "share", "latchsweep"), exist_ok=True)
        with open(os.path.join(prefix, "share", "latchsweep", "help.txt"), "w") as f:
            f.write("shipped help\r\n")
        return prefix

    def test_launcher_runs_the_program_in_the_per_user_directory(self):
        prefix = self.stand_in_prefix()
        data_home = fresh_dir("data-home")
        lines = self.launch(prefix, {"HOME": fresh_dir("home"), "XDG_DATA_HOME": data_home})
        workdir = os.path.join(data_home, "latchsweep")
        self.assertEqual(os.path.realpath(lines[0]), os.path.realpath(workdir))
        self.assertEqual(lines[1], "args:0")
        with open(os.path.join(workdir, "help.txt"), "rb") as f:
            self.assertEqual(f.read(), b"shipped help\r\n")

    def test_launcher_keeps_the_users_help_text(self):
        prefix = self.stand_in_prefix()
        data_home = fresh_dir("data-home-kept")
        workdir = os.path.join(data_home, "latchsweep")
        os.makedirs(workdir)
        with open(os.path.join(workdir, "help.txt"), "w") as f:
            f.write("my own notes\n")
        self.launch(prefix, {"HOME": fresh_dir("home"), "XDG_DATA_HOME": data_home})
        with open(os.path.join(workdir, "help.txt")) as f:
            self.assertEqual(f.read(), "my own notes\n")

    def test_launcher_defaults_to_local_share_and_follows_symlinks(self):
        prefix = self.stand_in_prefix()
        home = fresh_dir("home-default")
        elsewhere = fresh_dir("elsewhere", "bin")
        os.symlink(os.path.join(prefix, "bin", "latchsweep-launch"), os.path.join(elsewhere, "latchsweep-launch"))
        lines = self.launch(os.path.dirname(elsewhere), {"HOME": home, "XDG_DATA_HOME": ""})
        workdir = os.path.join(home, ".local", "share", "latchsweep")
        self.assertEqual(os.path.realpath(lines[0]), os.path.realpath(workdir))
        with open(os.path.join(workdir, "help.txt"), "rb") as f:
            self.assertEqual(f.read(), b"shipped help\r\n")


class DebianPackage(unittest.TestCase):
    def test_package_contents_and_fields(self):
        assert BUILD and SCRATCH, "LATCHSWEEP_BUILD_DIR and LATCHSWEEP_SCRATCH_DIR are required"
        out = fresh_dir("deb")
        run(os.environ.get("CPACK_COMMAND", "cpack"), "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-B", out)
        debs = [f for f in os.listdir(out) if f.endswith(".deb")]
        self.assertEqual(len(debs), 1, debs)
        deb = os.path.join(out, debs[0])
        dpkg_deb = os.environ.get("DPKG_DEB", "dpkg-deb")

        listing = run(dpkg_deb, "-c", deb)
        paths = {line.split()[-1].lstrip(".") for line in listing.splitlines() if line.strip()}
        for relative in EXPECTED_FILES:
            self.assertIn("/usr/" + relative, paths)

        fields = run(dpkg_deb, "-f", deb, "Package", "Version", "Maintainer", "Depends")
        self.assertIn("Package: latchsweep", fields)
        self.assertIn("Version: 1.0.0.0", fields)
        self.assertIn("Maintainer: Latchsweep developers", fields)
        self.assertIn("libqt6widgets6", fields)


if __name__ == "__main__":
    unittest.main()
