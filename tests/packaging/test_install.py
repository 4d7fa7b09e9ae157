"""The build installed into a scratch root (Install), made into a .deb (DebianPackage), and its
manual page rendered (ManualPage). Needs LATCHSWEEP_BUILD_DIR, LATCHSWEEP_SCRATCH_DIR and
CMAKE_COMMAND, or CPACK_COMMAND and DPKG_DEB; APPSTREAMCLI, LINTIAN and MAN where set."""

import configparser
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import SOURCE, load, read_bytes, read_png, run  # noqa: E402

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
SETTINGS = ("Directory.txt", "AutoDelete.txt")


def version_macro(name):
    return re.search(r'#define %s "([^"]*)"' % name, read_bytes(SOURCE, "resources/version.h").decode()).group(1)


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
        for size in (16, 32):
            png, _ = read_png(read_bytes(self.path(THEME_ICON % (size, size))))
            self.assertEqual(png.pixels, load("magnet-%d" % size).pixels, "the theme icon is the application icon")
        for size in THEME_SIZES:
            png, _ = read_png(read_bytes(self.path(THEME_ICON % (size, size))))
            self.assertEqual((png.width, png.height), (size, size))
        self.assertEqual(os.readlink(self.path("share/man/man1/latchsweep-launch.1.gz")), "latchsweep.1.gz")
        # The changelog's newest entry is the release of resources/version.h, in Debian's own form.
        top = gzip.decompress(read_bytes(self.path(CHANGELOG))).decode().split("\n\n -- ")
        self.assertRegex(top[0], r"^latchsweep \(%s\) unstable; urgency=medium\n" % re.escape(version_macro(
            "LATCHSWEEP_VERSION_STRING")))
        self.assertRegex(top[1].splitlines()[0], r"^.+ <[^ ]+@[^ ]+>  \w{3}, \d\d \w{3} \d{4} \d\d:\d\d:\d\d [+-]\d{4}$")
        stamp = subprocess.run(["date", "-u", "-d", top[1].splitlines()[0].split(">  ")[1], "+%F %a"],
                               capture_output=True, text=True).stdout.split()
        self.assertEqual(stamp[0], version_macro("LATCHSWEEP_RELEASE_DATE"))
        self.assertEqual(stamp[1], top[1].splitlines()[0].split(">  ")[1][:3], "the weekday fits the date")
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
                         (version_macro("LATCHSWEEP_VERSION_STRING"), version_macro("LATCHSWEEP_RELEASE_DATE")))

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
        for size in (64, 128):
            png = read_bytes(out, "usr/share/swcatalog/icons/latchsweep/%dx%d" % (size, size), APP_ID + ".png")
            self.assertEqual(struct.unpack(">12x4sII", png[:24]), (b"IHDR", size, size))
        # The tool succeeds even when it leaves a component out; what it found wrong is in its hints.
        definitions, _, found = read_bytes(hints, "latchsweep.hints.yaml").decode().partition("\n---\n")
        severity = dict(re.findall(r"- Tag: (\S+)\n  Severity: (\w+)", definitions))
        bad = [tag for tag in re.findall(r"tag: (\S+)", found) if severity.get(tag) in ("error", "warning")]
        self.assertEqual(bad, [])

    def launch(self, home, config_home="", data_home="", shipped_help="shipped help\r\n", via=None):
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
        run(launcher, cwd=SCRATCH, env={"HOME": home, "XDG_CONFIG_HOME": config_home, "XDG_DATA_HOME": data_home,
                                        "PROBE": probe, "PATH": os.environ.get("PATH", "/usr/bin:/bin")})
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

    def test_settings_of_the_old_data_directory_are_moved_once_and_never_lost(self):
        def write(directory, files):
            os.makedirs(directory, exist_ok=True)
            for name, text in files.items():
                with open(os.path.join(directory, name), "w") as f:
                    f.write(text)

        def contents(directory):
            if not os.path.isdir(directory):
                return None
            return {name: read_bytes(directory, name).decode() for name in os.listdir(directory)}

        old_files = {"Directory.txt": "/games/mm2/MM2.LOCK\r\n", "AutoDelete.txt": "2500\r\n", "help.txt": "old help"}
        newer = {"AutoDelete.txt": "700\r\n"}
        blocked = "a file where the configuration directory should be"
        cases = [  # the new directory before; both directories after; where the program runs
            ("only old settings", {}, old_files, None, "new"),
            ("a newer file is kept, its old one too", newer, dict(old_files, **newer),
             {"AutoDelete.txt": "2500\r\n"}, "new"),
            ("no settings directory can be made", blocked, None, old_files, "old"),
        ]
        for name, before, new_after, old_after, runs_in in cases:
            with self.subTest(name):
                config_home, data_home = fresh_dir("move-config"), fresh_dir("move-data")
                new, old = os.path.join(config_home, "latchsweep"), os.path.join(data_home, "latchsweep")
                write(old, old_files)
                if before == blocked:
                    os.rmdir(config_home)
                    with open(config_home, "w") as f:
                        f.write(blocked)
                else:
                    write(new, before)
                for start in ("first", "second"):
                    workdir, _ = self.launch(fresh_dir("home"), config_home, data_home)
                    self.assertEqual(os.path.realpath(workdir), os.path.realpath(new if runs_in == "new" else old))
                    self.assertEqual(contents(new), new_after, "the new directory after the %s start" % start)
                    self.assertEqual(contents(old), old_after, "the old directory after the %s start" % start)


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = fresh_dir("deb")
        run(os.environ.get("CPACK_COMMAND", "cpack"), "--config", os.path.join(BUILD, "CPackConfig.cmake"),
            "-B", cls.out)
        cls.packages = sorted(f for f in os.listdir(cls.out) if re.fullmatch(r"latchsweep.*\.d?deb", f))
        cls.dpkg_deb = os.environ.get("DPKG_DEB", "dpkg-deb")

    def package(self, suffix):
        return os.path.join(self.out, next(f for f in self.packages if f.endswith(suffix)))

    def test_package_contents_and_fields(self):
        version = version_macro("LATCHSWEEP_VERSION_STRING")
        self.assertEqual([p.split("_")[:2] for p in self.packages],
                         [["latchsweep-dbgsym", version], ["latchsweep", version]])
        deb = self.package(".deb")
        paths = {line.split()[-1].lstrip(".") for line in run(self.dpkg_deb, "-c", deb).splitlines() if line.strip()}
        self.assertLessEqual({"/usr/" + relative for relative in EXPECTED_FILES}, paths)
        fields = run(self.dpkg_deb, "-f", deb, "Package", "Version", "Section", "Maintainer", "Depends")
        for field in ("Package: latchsweep\n", "Version: %s\n" % version, "Section: utils\n", "libqt6widgets6"):
            self.assertIn(field, fields)
        self.assertRegex(fields, r"Maintainer: Latchsweep developers <[^ @>]+@[^ @>]+\.[a-z]+>\n")

    def test_program_is_stripped_and_its_symbols_are_kept_apart(self):
        readelf = shutil.which("readelf")
        if not readelf:
            self.skipTest("needs readelf")
        unpacked = {}
        for suffix in (".deb", ".ddeb"):
            unpacked[suffix] = fresh_dir("unpacked" + suffix)
            run(self.dpkg_deb, "-x", self.package(suffix), unpacked[suffix])
        program = os.path.join(unpacked[".deb"], "usr/bin/latchsweep")
        build_id = re.search(r"Build ID: ([0-9a-f]+)", run(readelf, "-n", program)).group(1)
        symbols = os.path.join(unpacked[".ddeb"], "usr/lib/debug/.build-id", build_id[:2], build_id[2:] + ".debug")
        sections = lambda path: set(re.findall(r"\] (\.\S+)", run(readelf, "-S", "-W", path)))  # noqa: E731
        self.assertEqual(sections(program) & {".symtab", ".debug_info", ".debug_line"}, set(), "not stripped")
        self.assertLessEqual({".symtab", ".debug_info", ".debug_line"}, sections(symbols))

    @unittest.skipUnless(os.environ.get("LINTIAN"), "needs lintian")
    def test_lintian_finds_no_error_or_warning(self):
        done = subprocess.run([os.environ["LINTIAN"], "--no-tag-display-limit", self.package(".deb")],
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
        self.assertIn("Latchsweep " + version_macro("LATCHSWEEP_VERSION_STRING"), page)
        for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "ENVIRONMENT", "EXIT STATUS"):
            self.assertRegex(done.stdout, r"(?m)^%s$" % heading)
        for needed in ("--help", "--version", "Directory.txt", "AutoDelete.txt", "help.txt", "milliseconds",
                       "$XDG_CONFIG_HOME/latchsweep", "~/.config/latchsweep", "~/.local/share/latchsweep",
                       "working directory"):
            self.assertIn(needed, page)
        statuses = re.findall(r"(?m)^ {7}(\d)\s", done.stdout[done.stdout.index("EXIT STATUS"):])
        self.assertEqual(statuses, ["0", "1", "2"])


if __name__ == "__main__":
    unittest.main()
