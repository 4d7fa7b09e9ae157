"""The Debian package as a player gets it: installed with dpkg into a scratch root, its desktop
entry's command starts the program in the player's own settings directory under
$XDG_CONFIG_HOME, seeded with the shipped help text, and a Save there writes the setting there."""

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
def installed(executable) -> Path:
    build = executable.parent.parent
    if not (build / "CPackConfig.cmake").is_file() or not shutil.which("dpkg"):
        pytest.skip("needs the build tree's CPack configuration and dpkg")
    root = Path(tempfile.mkdtemp(prefix="latchsweep-deb-"))
    subprocess.run(["cpack", "-G", "DEB", "--config", str(build / "CPackConfig.cmake"), "-B", str(root / "out")],
                   check=True, capture_output=True, timeout=120)
    # An empty package database of its own; the libraries the package depends on are the host's.
    fs = root / "fs"
    (fs / "var/lib/dpkg/updates").mkdir(parents=True)
    (fs / "var/lib/dpkg/info").mkdir()
    (fs / "var/lib/dpkg/status").touch()
    dpkg = ["dpkg", f"--root={fs}", "--log=/dev/null", "--force-not-root", "--force-script-chrootless"]
    subprocess.run([*dpkg, "--force-depends", "-i", str(next((root / "out").glob("latchsweep_*.deb")))],
                   check=True, capture_output=True, timeout=60)
    verified = subprocess.run([*dpkg, "--verify", "latchsweep"], capture_output=True, text=True, timeout=60)
    assert (verified.returncode, verified.stdout) == (0, ""), "installed files differ from the package's sums"
    yield fs
    shutil.rmtree(root, ignore_errors=True)


def test_desktop_entry_starts_the_program_in_the_players_settings_directory(tray_host, installed):
    entry = configparser.ConfigParser(interpolation=None)
    entry.read(installed / "usr/share/applications/latchsweep.desktop")
    command = entry["Desktop Entry"]["Exec"].split()
    assert (installed / "usr/bin" / command[0]).is_file()

    home = Path(tempfile.mkdtemp(prefix="latchsweep-home-"))
    config_home = home / "fresh-config"
    environment = dict(os.environ, HOME=str(home), XDG_CONFIG_HOME=str(config_home),
                       PATH=f"{installed / 'usr/bin'}:{os.environ['PATH']}")
    tray_host.start()
    process = subprocess.Popen(command, env=environment, cwd="/", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = desktop.window_by_name(desktop.MAIN_WINDOW, timeout=15)
        settings = config_home / "latchsweep"
        assert (settings / "help.txt").read_bytes() == (installed / "usr/share/latchsweep/help.txt").read_bytes()
        assert os.readlink(f"/proc/{process.pid}/cwd") == str(settings)

        delay_window = desktop.type_delay(window, "4321")
        desktop.click_control(delay_window, "Form3", "Command1")
        desktop.answer_box(desktop.core_data()["saved"]["Form3"][1])
        desktop.wait_window_gone(desktop.DELAY_WINDOW)
        assert (settings / "AutoDelete.txt").read_bytes() == b"4321\r\n"
        assert not (home / ".local").exists(), "nothing written to the old data directory"

        desktop.screenshot("package-started")
        desktop.choose_menu(window, "Exit")
        assert process.wait(timeout=10) == 0
        desktop.expect_no_trace()
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(home, ignore_errors=True)
