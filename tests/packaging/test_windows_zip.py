"""The Windows release zip, made by the build's release-zip target: the program, the shipped help
text and a read-me that Notepad shows line by line, under a name that carries the version."""

import os
import re
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from picture_files import SOURCE, read_bytes, run  # noqa: E402

BUILD, ZIP = os.environ["LATCHSWEEP_BUILD_DIR"], os.environ["LATCHSWEEP_RELEASE_ZIP"]


class WindowsZip(unittest.TestCase):
    def test_contents(self):
        run(os.environ.get("CMAKE_COMMAND", "cmake"), "--build", BUILD, "--target", "release-zip")
        # The version as the program shows it: the major number and the minor one in two digits.
        header = read_bytes(SOURCE, "resources", "version.h").decode()
        major, minor = (int(re.search(r"#define LATCHSWEEP_VERSION_%s (\d+)" % part, header).group(1))
                        for part in ("MAJOR", "MINOR"))
        version = "%d.%02d" % (major, minor)
        self.assertEqual(os.path.basename(ZIP), "latchsweep-%s-win32.zip" % version)
        with zipfile.ZipFile(ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()), ["help.txt", "latchsweep.exe", "readme.txt"])
            self.assertEqual(archive.read("help.txt"), read_bytes(SOURCE, "resources", "help.txt"))
            self.assertEqual(archive.read("latchsweep.exe")[:2], b"MZ")
            readme = archive.read("readme.txt")
        self.assertNotIn(b"@", readme, "a placeholder left unfilled")
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"), "a line not ended by CR LF")
        for needed in ("Latchsweep " + re.escape(version), "Windows 7", "Directory.txt", "AutoDelete.txt",
                       r"working\s+directory"):
            self.assertRegex(readme.decode("ascii"), needed)


if __name__ == "__main__":
    unittest.main()
