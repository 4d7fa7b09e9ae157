"""The program under a hostile desktop: no tray host at start and one that restarts, a read-only
working directory, a lock file held open, the lock-file list rewritten or removed under a running
sweeper, a huge help file, a desktop scaled so far that fixed window places run off the screen."""

from __future__ import annotations

import os
import time
from pathlib import Path

import pytest

import desktop
from conftest import without_file_privileges
from desktop import CRLF, DELAY_WINDOW, DIRECTORY_WINDOW, HELP_WINDOW, MAIN_WINDOW, TWIPS_PER_PIXEL, gone_within

SAVED_TITLE = desktop.core_data()["saved"]["Form2"][1]


def resident_mib(pid: int) -> float:
    return int(Path(f"/proc/{pid}/statm").read_text().split()[1]) * os.sysconf("SC_PAGE_SIZE") / 2 ** 20


def test_tray_host_late_and_restarted(launch, tray_host):
    program = launch(tray=False)
    desktop.choose_menu(MAIN_WINDOW, "Minimize")
    # Nothing could bring a hidden window back: it stays where the desktop can reach it.
    assert desktop.holds_for(lambda: desktop.windows_named(MAIN_WINDOW), 1.5), \
        "the window vanished with no tray to come back through"

    tray_host.start()  # a late host gets the icon, which brings the window back
    icon = desktop.docked_icon()
    desktop.minimize()
    desktop.double_click_at(*icon.center)
    desktop.window_by_name(MAIN_WINDOW)
    desktop.minimize()
    tray_host.stop()
    assert desktop.holds_for(program.process_alive, 1.5), "the program did not survive the tray host"
    tray_host.start()
    icon = desktop.docked_icon()
    desktop.screenshot("tray_restarted")
    desktop.double_click_at(*icon.center)

    # The way out removes the icon from the new host.
    desktop.choose_menu(desktop.window_by_name(MAIN_WINDOW), "Exit")
    assert program.wait(timeout=5) == 0
    desktop.expect_no_trace()


def test_read_only_working_directory_loses_nothing(launch, tmp_path):
    wrapper = without_file_privileges()
    if wrapper is None:
        pytest.skip("cannot drop the privilege that lets root write into read-only directories")
    lock = tmp_path / "MM2.LOCK"  # its directory stays writable
    program = launch({"Directory.txt": f"{lock}{CRLF}", "AutoDelete.txt": f"20000{CRLF}"}, wrapper=wrapper)
    work = program.workdir
    before = {p.name: p.read_bytes() for p in work.iterdir()}
    work.chmod(0o555)
    main = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(main, "Command1")

    # Auto Delete: the save fails under the program's title; the window stays with the typed
    # text, which the sweeper follows.
    window = desktop.type_delay(main, "300")
    desktop.click_control(window, "Form3", "Command1")
    desktop.answer_box(MAIN_WINDOW, already=1)
    assert not desktop.windows_named(SAVED_TITLE)
    assert desktop.windows_named(DELAY_WINDOW) == [window], "the window stays after a failed Save"
    lock.write_text("locked")
    gone_within(lock, 3)
    desktop.close_window(window)
    desktop.wait_window_gone(DELAY_WINDOW)

    # MM2 Directory: Save fails likewise; so does a read-only list in a writable directory,
    # which stays as it was. The box stands over the window whose Save failed.
    window = desktop.open_window(main, "OpenGameDirectory", DIRECTORY_WINDOW)
    desktop.click_control(window, "Form2", "Command1")
    desktop.answer_box(MAIN_WINDOW, already=1)
    work.chmod(0o755)
    program.path("Directory.txt").chmod(0o444)
    desktop.click_control(window, "Form2", "Command1")
    box = desktop.wait_until(lambda: [w for w in desktop.windows_named(MAIN_WINDOW) if w != main],
                             message="no box for the read-only list")[0]
    over, (x, y) = desktop.geometry(window), desktop.geometry(box).center
    assert over.x <= x < over.x + over.width and over.y <= y < over.y + over.height, "the box is not over its window"
    desktop.answer_box(MAIN_WINDOW, already=1)
    assert not desktop.windows_named(SAVED_TITLE)
    assert program.path("Directory.txt").stat().st_mode & 0o777 == 0o444

    assert {p.name: p.read_bytes() for p in work.iterdir()} == before, "a failed save changed the directory"
    # The saved 20 s applies again now that the delay window is closed.
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 1.5), "the unsaved delay outlived its window"
    assert program.process_alive()


def test_lock_file_held_open_or_read_only_is_still_deleted(launch, tmp_path):
    lock = tmp_path / "MM2.LOCK"
    lock.write_text("held")
    program = launch({"Directory.txt": f"{lock}{CRLF}", "AutoDelete.txt": f"300{CRLF}"})
    with open(lock, "r+") as held:  # open for reading and writing in another process, as the game does
        desktop.click_main_button(MAIN_WINDOW, "Command1")
        gone_within(lock, 4)
        assert held.read() == "held", "the holder is unaffected"
    lock.write_text("read-only")
    lock.chmod(0o444)
    gone_within(lock, 3)
    assert program.process_alive()


def test_lock_file_list_rewritten_or_removed_between_sweeps(launch, tmp_path):
    first, second = tmp_path / "first", tmp_path / "second"
    for directory in (first, second):
        directory.mkdir()
    lock_a, lock_b = first / "MM2.LOCK", second / "MM2.LOCK"
    lock_a.write_text("a")
    program = launch({"Directory.txt": f"{lock_a}{CRLF}", "AutoDelete.txt": f"300{CRLF}"})
    listing = program.path("Directory.txt")
    main = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(main, "Command1")
    gone_within(lock_a, 4)

    def rewrite(content: str) -> None:
        # As an editor saves: a new file renamed over the old one.
        scratch = listing.with_name("Directory.txt.new")
        scratch.write_bytes(content.encode())
        os.replace(scratch, listing)

    # The next sweep reads the new list's first line only.
    rewrite(f"{lock_b}{CRLF}{lock_a}{CRLF}")
    lock_a.write_text("a")
    lock_b.write_text("b")
    gone_within(lock_b, 2)
    assert desktop.holds_for(lock_a.exists, 1.0), "only the first line is used"

    # Rewritten in place, truncated and refilled, many times under the running sweeper.
    for round_ in range(10):
        target = lock_a if round_ % 2 == 0 else lock_b
        listing.write_bytes(f"{target}{CRLF}".encode())
        target.write_text("x")
        gone_within(target, 2)

    # A directory named on the line is left alone.
    rewrite(f"{first}{CRLF}")
    time.sleep(1.0)
    assert first.is_dir()
    # A missing list is no error: no message, no other window, no file made, no exit.
    listing.unlink()
    lock_a.write_text("a")
    assert desktop.holds_for(lambda: lock_a.exists() and program.process_alive() and not desktop.popups()
                             and desktop.windows_named(MAIN_WINDOW) == [main], 2.0)
    assert [p.name for p in program.workdir.iterdir()] == ["AutoDelete.txt"], "the sweeper creates no file"
    rewrite(f"{lock_a}{CRLF}")
    gone_within(lock_a, 2)


def test_huge_help_file_opens_promptly(launch):
    program = launch({"help.txt": f"Latchsweep help{CRLF}"})
    with open(program.path("help.txt"), "r+b") as help_file:
        help_file.truncate(500 * 1024 * 1024)  # sparse: 500 MB that take no disk
    main = desktop.window_by_name(MAIN_WINDOW)
    resident = resident_mib(program.pid)

    desktop.choose_menu(main, "OpenHelp")
    asked = time.monotonic()  # the click on the menu item has just been sent
    desktop.window_by_name(HELP_WINDOW, timeout=10)
    opened = time.monotonic() - asked
    desktop.screenshot("huge_help")
    assert opened < 5.0, f"the help window took {opened:.2f} s"
    grown = resident_mib(program.pid) - resident
    assert grown < 100, f"the program grew by {grown:.0f} MiB for the help window"

    desktop.key("space")  # OK has the focus
    desktop.wait_window_gone(HELP_WINDOW)
    assert desktop.windows_named(MAIN_WINDOW) == [main]
    assert program.process_alive()


def test_fixed_windows_stay_on_a_screen_scaled_by_2(launch, display):
    """At a desktop scale of 2 the help window's fixed place runs 136 pixels past the screen: it
    moves back inside, where its OK button can be clicked. The about box fits where it is."""
    launch(wrapper=["env", "QT_SCALE_FACTOR=2"])
    main = desktop.window_by_name(MAIN_WINDOW)
    scale = 2 / TWIPS_PER_PIXEL
    for command, name, button in (("OpenHelp", "frmHelp", "OKButton"), ("OpenAbout", "frmAbout", "cmdOK")):
        title, (left, top, width, _) = desktop.core_data()["captions"][name], desktop.core_data()["clientAreas"][name]
        where = desktop.geometry(desktop.open_window(main, command, title, scale=2))
        place = (min(round(left * scale), display.width - round(width * scale)), round(top * scale))
        assert (where.x, where.y) == place and where.x + where.width <= display.width, f"{title} at {where}"
        ok = desktop.control_twips(name, button)
        desktop.click_at(where.x + round((ok[0] + ok[2] / 2) * scale), where.y + round((ok[1] + ok[3] / 2) * scale))
        desktop.wait_window_gone(title)
