"""The program under a hostile desktop: the tray host restarting, a read-only working directory,
a lock file held open, the lock-file list rewritten under a running sweeper, a huge help file."""

from __future__ import annotations

import os
import subprocess
import time
from pathlib import Path

import pytest

import desktop
from conftest import MAIN_WINDOW, without_file_privileges

CRLF = "\r\n"
DIRECTORY_WINDOW = "Select Midtown Madness 2 Directory"
DELAY_WINDOW = "Auto-Delete Settings"
HELP_WINDOW = "Help"


def twips_click(window: int, twips_x: int, twips_y: int) -> None:
    # The client area is the whole window on a bare X server; 15 twips per pixel at 96 dpi.
    desktop.click_in_window(window, round(twips_x / 15), round(twips_y / 15))


def gone_within(path: Path, timeout: float) -> float:
    start = time.monotonic()
    desktop.wait_until(lambda: not path.exists(), timeout, interval=0.01,
                       message=f"{path} still there after {timeout:.1f} s")
    return time.monotonic() - start


def answer_box(title: str, already: int = 0) -> None:
    """Waits for a message box titled `title` (beside `already` windows of that title) and
    presses Enter on it."""
    desktop.wait_until(lambda: len(desktop.windows_named(title)) > already, timeout=5,
                       message=f"no message box titled {title!r}")
    desktop.screenshot(f"box_{title}")
    desktop.key("Return")
    desktop.wait_until(lambda: len(desktop.windows_named(title)) == already, timeout=5,
                       message=f"the box {title!r} stays")


def vm_rss_kib(pid: int) -> int:
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    raise AssertionError("no VmRSS")


# ---------------------------------------------------------------------------------------


def test_icon_comes_back_when_the_tray_host_restarts(launch, tray_host, executable):
    if not desktop.tray_adapter_built(executable):
        pytest.skip("the program has no tray adapter yet (it does not link QSystemTrayIcon)")
    program = launch()
    desktop.wait_until(lambda: len(desktop.tray_icons()) == 1, timeout=10, message="no tray icon")

    tray_host.stop()
    assert desktop.holds_for(program.process_alive, 1.5), "the program did not survive the tray host"
    tray_host.start()
    desktop.wait_until(lambda: len(desktop.tray_icons()) == 1, timeout=10,
                       message="the icon did not come back to the new tray host")
    desktop.screenshot("tray_restarted")

    # And the way out still removes it from the new host.
    desktop.choose_menu(MAIN_WINDOW, "File > Exit")
    assert program.wait_exit(5) == 0
    desktop.wait_until(lambda: not desktop.tray_icons(), timeout=5, message="an icon stayed in the tray")


def test_read_only_working_directory_loses_nothing(launch, tmp_path):
    wrapper = without_file_privileges()
    if wrapper is None:
        pytest.skip("cannot drop the privilege that lets root write into read-only directories")
    game = tmp_path / "game"  # writable: the lock file lives elsewhere
    game.mkdir()
    lock = game / "MM2.LOCK"
    program = launch({"Directory.txt": f"{lock}{CRLF}", "AutoDelete.txt": f"20000{CRLF}"}, wrapper=wrapper)
    work = program.workdir
    before = {p.name: p.read_bytes() for p in work.iterdir()}
    work.chmod(0o555)
    main = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(main, "Turn ON")

    # Auto Delete: a new delay typed and saved. The save fails, and says so under the
    # program's title; the window stays with the typed text, which the sweeper follows.
    desktop.choose_menu(main, "Settings > Settings > Auto Delete")
    window = desktop.window_by_name(DELAY_WINDOW)
    twips_click(window, 120 + 2400 + 1935 // 2, 120 + 240 + 375 // 2)  # text1
    desktop.key("ctrl+a")
    desktop.type_text("300")
    twips_click(window, 120 + 4455 // 2, 960 + 255 // 2)  # Save
    answer_box(MAIN_WINDOW, already=1)
    assert not desktop.windows_named("Success")
    assert desktop.windows_named(DELAY_WINDOW) == [window], "the window stays after a failed Save"
    lock.write_text("locked")
    gone_within(lock, timeout=3)  # the unsaved 300 ms is live
    desktop.close_window(window)
    desktop.wait_window_gone(DELAY_WINDOW)

    # MM2 Directory: Save fails likewise and Directory.txt keeps naming the lock file.
    desktop.choose_menu(main, "Settings > Settings > MM2 Directory")
    window = desktop.window_by_name(DIRECTORY_WINDOW)
    twips_click(window, 5895 // 2, 3240 + 255 // 2)  # Save
    answer_box(MAIN_WINDOW, already=1)
    assert not desktop.windows_named("Success")

    after = {p.name: p.read_bytes() for p in work.iterdir()}
    assert after == before, "a failed save changed or left files in the working directory"
    # The saved 20 s applies again now that the delay window is closed; the list still works.
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 1.5), "the unsaved delay outlived its window"
    assert program.process_alive()


def test_lock_file_held_open_or_read_only_is_still_deleted(launch, tmp_path):
    lock = tmp_path / "MM2.LOCK"
    lock.write_text("held")
    # Another process keeps the file open for reading and writing, as the game does.
    holder = subprocess.Popen(["python3", "-c",
                               "import sys, time\nf = open(sys.argv[1], 'r+')\nprint('open', flush=True)\n"
                               "time.sleep(60)", str(lock)], stdout=subprocess.PIPE, text=True)
    try:
        assert holder.stdout.readline().strip() == "open"
        program = launch({"Directory.txt": f"{lock}{CRLF}", "AutoDelete.txt": f"300{CRLF}"})
        desktop.click_main_button(MAIN_WINDOW, "Turn ON")
        gone_within(lock, timeout=4)
        assert holder.poll() is None, "the holder is unaffected"

        lock.write_text("read-only")
        lock.chmod(0o444)
        gone_within(lock, timeout=3)
        assert program.process_alive()
    finally:
        holder.kill()
        holder.wait()


def test_lock_file_list_rewritten_between_sweeps(launch, tmp_path):
    first, second = tmp_path / "first", tmp_path / "second"
    first.mkdir()
    second.mkdir()
    lock_a, lock_b = first / "MM2.LOCK", second / "MM2.LOCK"
    lock_a.write_text("a")
    program = launch({"Directory.txt": f"{lock_a}{CRLF}", "AutoDelete.txt": f"300{CRLF}"})
    listing = program.path("Directory.txt")
    desktop.click_main_button(MAIN_WINDOW, "Turn ON")
    gone_within(lock_a, timeout=4)

    def rewrite(content: str) -> None:
        # As an editor saves: a new file renamed over the old one.
        scratch = listing.with_name("Directory.txt.new")
        scratch.write_bytes(content.encode())
        os.replace(scratch, listing)

    # The next sweep reads the new line: B goes, A (no longer named) stays.
    rewrite(f"{lock_b}{CRLF}{lock_a}{CRLF}")
    lock_a.write_text("a")
    lock_b.write_text("b")
    gone_within(lock_b, timeout=2)
    assert desktop.holds_for(lock_a.exists, 1.0), "only the first line is used"

    # Rewritten in place, truncated and refilled, many times under the running sweeper.
    for round_ in range(10):
        target = lock_a if round_ % 2 == 0 else lock_b
        listing.write_bytes(f"{target}{CRLF}".encode())
        target.write_text("x")
        gone_within(target, timeout=2)

    # A directory named on the line is left alone; a missing list is no error.
    rewrite(f"{first}{CRLF}")
    time.sleep(1.0)
    assert first.is_dir()
    listing.unlink()
    lock_a.write_text("a")
    assert desktop.holds_for(lambda: lock_a.exists() and program.process_alive(), 1.0)
    rewrite(f"{lock_a}{CRLF}")
    gone_within(lock_a, timeout=2)


def test_huge_help_file_opens_promptly(launch):
    program = launch({"help.txt": f"Latchsweep help{CRLF}"})
    with open(program.path("help.txt"), "r+b") as help_file:
        help_file.truncate(500 * 1024 * 1024)  # sparse: 500 MB that take no disk
    main = desktop.window_by_name(MAIN_WINDOW)
    rss_before = vm_rss_kib(program.pid)

    asked = time.monotonic()
    desktop.choose_menu(main, "Help > Help")
    window = desktop.window_by_name(HELP_WINDOW, timeout=10)
    opened = time.monotonic() - asked
    desktop.screenshot("huge_help")
    assert opened < 3.0, f"the help window took {opened:.2f} s"
    grown_mib = (vm_rss_kib(program.pid) - rss_before) / 1024
    assert grown_mib < 100, f"the program grew by {grown_mib:.0f} MiB for the help window"

    # Still responsive: OK (which has the focus) closes it.
    desktop.key("space")
    desktop.wait_window_gone(HELP_WINDOW)
    assert desktop.windows_named(MAIN_WINDOW) == [main]
    assert program.process_alive()
