"""The build installed into a scratch root (Install), made into a .deb (DebianPackage), and its
manual page rendered (ManualPage). Needs LATCHSWEEP_BUILD_DIR, LATCHSWEEP_SCRATCH_DIR and
CMAKE_COMMAND, or CPACK_COMMAND and DPKG_DEB; APPSTREAMCLI, LINTIAN and MAN where set."""

import configparser
import gzip
import os
import re
import shutil
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import SOURCE, read_bytes, run  # noqa: E402

BUILD, SCRATCH = os.environ["LATCHSWEEP_BUILD_DIR"], os.environ["LATCHSWEEP_SCRATCH_DIR"]
APP_ID = "io.github.latchsweep.latchsweep"
DESKTOP = "share/applications/latchsweep.desktop"
METAINFO = "share/metainfo/%s.metainfo.xml" % APP_ID
THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
THEME_ICON = "share/icons/hicolor/%dx%d/apps/latchsweep.png"
MANUAL, CHANGELOG, COPYRIGHT = ("share/man/man1/latchsweep.1.gz", "share/doc/latchsweep/changelog.gz",
                                "share/doc/latchsweep/copyright")
PROGRAMS = ["bin/latchsweep", "bin/latchsweep-launch"]
EXPECTED_FILES = (PROGRAMS + [DESKTOP, METAINFO, MANUAL, CHANGELOG, COPYRIGHT, "share/latchsweep/help.txt",
                              "share/icons/hicolor/scalable/apps/latchsweep.svg"]
                  + [THEME_ICON % (s, s) for s in THEME_SIZES])


def version_macro(name):
    return re.search(r'#define %s "([^"]*)"' % name, read_bytes(SOURCE, "resources/version.h").decode()).group(1)


def release_version():
    """The four numbers of resources/version.h, dotted: the release the packages name."""
    header = read_bytes(SOURCE, "resources/version.h").decode()
    return ".".join(re.search(r"#define LATCHSWEEP_VERSION_%s (\d+)" % part, header).group(1)
                    for part in ("MAJOR", "MINOR", "PATCH", "BUILD"))


def fresh_dir(*parts):
    path = os.path.join(SCRATCH, *parts)
    if os.path.isfile(path):
        os.remove(path)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = fresh_dir("root")
        cls.prefix = os.path.join(cls.root, "usr")
        run(os.environ.get("CMAKE_COMMAND", "cmake"), "--install", BUILD, "--prefix", cls.prefix)

    def path(self, *relative):
        return os.path.join(self.prefix, *relative)

    def test_layout_and_metadata(self):
        for relative in EXPECTED_FILES:
            self.assertTrue(os.path.isfile(self.path(relative)), relative + " is missing")
        for program in PROGRAMS:
            self.assertTrue(os.access(self.path(program), os.X_OK), program + " is not executable")
        self.assertEqual(read_bytes(self.path("share/latchsweep/help.txt")), read_bytes(SOURCE, "resources/help.txt"))
        for size in THEME_SIZES:  # test_icons.py checks the generated ones against the art
            self.assertEqual(read_bytes(self.path(THEME_ICON % (size, size))),
                             read_bytes(os.environ["LATCHSWEEP_THEME_ICON_DIR"], "latchsweep-%d.png" % size))
        # lintian checks the changelog's form; its newest entry must be the release of resources/version.h.
        self.assertTrue(gzip.decompress(read_bytes(self.path(CHANGELOG))).decode().startswith(
            "latchsweep (%s) unstable;" % release_version()))
        # The desktop entry and the metainfo name installed files.
        entry = configparser.ConfigParser(interpolation=None)
        entry.read(self.path(DESKTOP), encoding="utf-8")
        group = entry["Desktop Entry"]
        self.assertTrue(os.path.isfile(self.path("bin", group["Exec"].split()[0])))
        self.assertTrue(os.path.isfile(self.path("share/icons/hicolor/32x32/apps", group["Icon"] + ".png")))
        root = ElementTree.parse(self.path(METAINFO)).getroot()
        self.assertEqual(root.find("id").text, APP_ID)
        self.assertEqual(root.find("launchable").text, os.path.basename(DESKTOP))
        self.assertTrue(os.path.isfile(self.path("bin", root.find("provides/binary").text)))
        release = root.find("releases/release").attrib
        self.assertEqual((release["version"], release["date"]),
                         (release_version(), version_macro("LATCHSWEEP_RELEASE_DATE")))

    @unittest.skipUnless(os.environ.get("APPSTREAMCLI"), "needs appstreamcli")
    def test_software_centres_can_list_it(self):
        out, hints = fresh_dir("compose"), fresh_dir("compose-hints")
        run(os.environ["APPSTREAMCLI"], "compose", "--no-color", "--prefix=/usr", "--origin=latchsweep",
            "--result-root=" + out, "--hints-dir=" + hints, self.root)
        catalog = ElementTree.fromstring(gzip.decompress(read_bytes(out, "usr/share/swcatalog/xml/latchsweep.xml.gz")))
        component = catalog.find("component")
        self.assertEqual(component.find("id").text, APP_ID)
        cached = {(i.get("width"), i.text) for i in component.findall("icon") if i.get("type") == "cached"}
        self.assertLessEqual({("64", APP_ID + ".png"), ("128", APP_ID + ".png")}, cached, "icons not found")
        # The tool succeeds even when it leaves a component out; what it found wrong is in its hints.
        definitions, _, found = read_bytes(hints, "latchsweep.hints.yaml").decode().partition("\n---\n")
        severity = dict(re.findall(r"- Tag: (\S+)\n  Severity: (\w+)", definitions))
        bad = [tag for tag in re.findall(r"tag: (\S+)", found) if severity.get(tag) in ("error", "warning")]
        self.assertEqual(bad, [])

    def launch(self, home, config_home="", shipped_help="shipped help\r\n", via=None):
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
        run(launcher, cwd=SCRATCH, env={"HOME": home, "XDG_CONFIG_HOME": config_home, "PROBE": probe,
                                        "PATH": os.environ.get("PATH", "/usr/bin:/bin")})
        return read_bytes(probe).decode().splitlines()

    def test_launcher_runs_the_program_in_the_per_user_directory_and_keeps_its_help(self):
        config_home = fresh_dir("config-home")
        workdir, args = self.launch(fresh_dir("home"), config_home)
        self.assertEqual(os.path.realpath(workdir), os.path.realpath(os.path.join(config_home, "latchsweep")))
        self.assertEqual(args, "args:0")
        self.assertEqual(read_bytes(workdir, "help.txt"), b"shipped help\r\n")
        with open(os.path.join(workdir, "help.txt"), "w") as f:
            f.write("my own notes\n")
        self.launch(fresh_dir("home"), config_home, shipped_help="a newer shipped help\r\n")
        self.assertEqual(read_bytes(workdir, "help.txt"), b"my own notes\n", "the user's help text is kept")

    def test_launcher_defaults_to_dot_config_ignores_relative_bases_and_follows_symlinks(self):
        home = fresh_dir("home-default")
        for config_home in ("", "relative/config"):
            with self.subTest(config_home=config_home):
                workdir, _ = self.launch(home, config_home, via=fresh_dir("elsewhere", "bin"))
                self.assertEqual(os.path.realpath(workdir), os.path.realpath(os.path.join(home, ".config/latchsweep")))
                self.assertEqual(read_bytes(workdir, "help.txt"), b"shipped help\r\n")


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = fresh_dir("deb")
        run(os.environ.get("CPACK_COMMAND", "cpack"), "--config", os.path.join(BUILD, "CPackConfig.cmake"),
            "-B", cls.out)
        cls.packages = sorted(f for f in os.listdir(cls.out) if re.fullmatch(r"latchsweep.*\.d?deb", f))
        cls.dpkg_deb = os.environ.get("DPKG_DEB", "dpkg-deb")  # the -dbgsym package sorts first

    def test_package_contents_and_fields(self):
        version = release_version()
        self.assertEqual([p.split("_")[:2] for p in self.packages],
                         [["latchsweep-dbgsym", version], ["latchsweep", version]])
        deb = os.path.join(self.out, self.packages[1])
        paths = {line.split()[-1].lstrip(".") for line in run(self.dpkg_deb, "-c", deb).splitlines() if line.strip()}
        self.assertLessEqual({"/usr/" + relative for relative in EXPECTED_FILES}, paths)
        fields = run(self.dpkg_deb, "-f", deb, "Package", "Version", "Section", "Maintainer", "Depends")
        for field in ("Package: latchsweep\n", "Version: %s\n" % version, "Section: utils\n", "libqt6widgets6",
                      "fonts-liberation2"):
            self.assertIn(field, fields)
        self.assertRegex(fields, r"Maintainer: Latchsweep developers <[^ @>]+@[^ @>]+\.[a-z]+>\n")

    @unittest.skipUnless(os.environ.get("LINTIAN"), "needs lintian")
    def test_lintian_finds_no_error_or_warning(self):
        done = subprocess.run([os.environ["LINTIAN"], "--no-tag-display-limit",
                               *(os.path.join(self.out, package) for package in self.packages)],
                              capture_output=True, text=True)
        tags = [line for line in done.stdout.splitlines() if line[:3] in ("E: ", "W: ")]
        self.assertEqual((done.returncode, tags), (0, []), done.stderr)


class ManualPage(unittest.TestCase):
    def test_renders_without_warnings_and_documents_the_program(self):
        done = subprocess.run([os.environ.get("MAN", "man"), "--warnings", "-l",
                               os.path.join(BUILD, "packaging", "latchsweep.1.gz")],
                              capture_output=True, text=True, env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
        self.assertEqual((done.returncode, done.stderr), (0, ""))
        page = re.sub(r"\s+", " ", done.stdout)
        for needed in ("Latchsweep " + release_version(), "--help", "--version",
                       "Directory.txt", "AutoDelete.txt", "help.txt", "milliseconds", "$XDG_CONFIG_HOME/latchsweep",
                       "~/.config/latchsweep", "working directory"):
            self.assertIn(needed, page)
        statuses = re.findall(r"(?m)^ {7}(\d)\s", done.stdout[done.stdout.index("EXIT STATUS"):])
        self.assertEqual(statuses, ["0", "1", "2"])


if __name__ == "__main__":
    unittest.main()
