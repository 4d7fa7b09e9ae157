"""The Debian package as a player gets it: unpacked, its desktop entry's command starts the
program in the player's own data directory, seeded with the shipped help text."""

from __future__ import annotations

import configparser
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

import pytest

import desktop


@pytest.fixture(scope="module")
def unpacked(executable) -> Path:
    build = executable.parent.parent
    if not (build / "CPackConfig.cmake").is_file() or not shutil.which("dpkg-deb"):
        pytest.skip("needs the build tree's CPack configuration and dpkg-deb")
    root = Path(tempfile.mkdtemp(prefix="latchsweep-deb-"))
    subprocess.run(["cpack", "-G", "DEB", "--config", str(build / "CPackConfig.cmake"), "-B", str(root / "out")],
                   check=True, capture_output=True, timeout=120)
    subprocess.run(["dpkg-deb", "-x", str(next((root / "out").glob("latchsweep_*.deb"))), str(root / "fs")],
                   check=True, timeout=60)
    yield root / "fs"
    shutil.rmtree(root, ignore_errors=True)


def test_desktop_entry_starts_the_program_in_the_players_directory(tray_host, unpacked):
    entry = configparser.ConfigParser(interpolation=None)
    entry.read(unpacked / "usr/share/applications/latchsweep.desktop")
    command = entry["Desktop Entry"]["Exec"].split()
    assert (unpacked / "usr/bin" / command[0]).is_file()

    home = Path(tempfile.mkdtemp(prefix="latchsweep-home-"))
    environment = dict(os.environ, HOME=str(home), PATH=f"{unpacked / 'usr/bin'}:{os.environ['PATH']}")
    environment.pop("XDG_DATA_HOME", None)
    tray_host.start()
    process = subprocess.Popen(command, env=environment, cwd="/", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = desktop.window_by_name(desktop.MAIN_WINDOW, timeout=15)
        data = home / ".local/share/latchsweep"
        assert (data / "help.txt").read_bytes() == (unpacked / "usr/share/latchsweep/help.txt").read_bytes()
        assert os.readlink(f"/proc/{process.pid}/cwd") == str(data)
        desktop.screenshot("package-started")
        desktop.choose_menu(window, "File > Exit")
        assert process.wait(timeout=10) == 0
        desktop.expect_no_trace()
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(home, ignore_errors=True)
