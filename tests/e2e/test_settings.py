"""The two settings windows as a player uses them: choosing the game directory, setting the scan
delay, and the delay taking effect while the sweeper runs."""

from __future__ import annotations

import os
import time
from pathlib import Path

import desktop
from conftest import MAIN_WINDOW

CRLF = "\r\n"
DIRECTORY_WINDOW = "Select Midtown Madness 2 Directory"
DELAY_WINDOW = "Auto-Delete Settings"
TWIPS_PER_PIXEL = 15  # Xvfb's default 96 dpi

# Centres of controls, in twips of the client area (frame children add the frame's position).
DIRECTORY_SAVE = (5895 // 2, 3240 + 255 // 2)
DELAY_TEXT1 = (120 + 2400 + 1935 // 2, 120 + 240 + 375 // 2)
DELAY_SAVE = (120 + 4455 // 2, 960 + 255 // 2)


def click_control(window: int, twips: tuple[int, int]) -> None:
    desktop.click_in_window(window, twips[0] // TWIPS_PER_PIXEL, twips[1] // TWIPS_PER_PIXEL)


def real(path: Path) -> str:
    return os.path.realpath(path)


def dismiss_box(title: str, count_before: int = 0) -> None:
    """Waits for a message box with that title and answers it with Enter."""
    desktop.wait_until(lambda: len(desktop.windows_named(title)) > count_before, timeout=5,
                       message=f"no message box titled {title!r}")
    desktop.screenshot(f"box_{title}")
    desktop.key("Return")
    desktop.wait_until(lambda: len(desktop.windows_named(title)) == count_before, timeout=5,
                       message=f"the box {title!r} stays")


def open_window(main: int, command: str, title: str) -> int:
    desktop.choose_menu(main, command)
    return desktop.window_by_name(title)


def gone_within(path: Path, timeout: float) -> float:
    start = time.monotonic()
    desktop.wait_until(lambda: not path.exists(), timeout, interval=0.01,
                       message=f"{path.name} still there after {timeout:.1f} s")
    return time.monotonic() - start


def test_game_directory_chosen_by_keyboard_is_saved_and_swept(launch):
    program = launch({"AutoDelete.txt": f"300{CRLF}"})
    game = program.path("Game")
    game.mkdir()
    main = desktop.window_by_name(MAIN_WINDOW)

    window = open_window(main, "Settings > Settings > MM2 Directory", DIRECTORY_WINDOW)
    where = desktop.geometry(window)
    assert (where.width, where.height) == (5985 // TWIPS_PER_PIXEL, 4230 // TWIPS_PER_PIXEL)
    desktop.screenshot("game_directory_window")

    # The list has the focus at the working directory; its one subdirectory is next. Moving
    # there changes nothing until Enter opens it.
    desktop.key("Down", "Return")
    click_control(window, DIRECTORY_SAVE)
    dismiss_box("Success")
    desktop.wait_window_gone(DIRECTORY_WINDOW)
    assert program.path("Directory.txt").read_bytes() == f"{real(game)}/MM2.LOCK{CRLF}".encode()

    lock = game / "MM2.LOCK"
    lock.write_text("locked")
    desktop.click_main_button(main, "Turn ON")
    gone_within(lock, timeout=4)

    # Reopened, the window starts at the working directory again; a plain Save stores it.
    window = open_window(main, "Settings > Settings > MM2 Directory", DIRECTORY_WINDOW)
    click_control(window, DIRECTORY_SAVE)
    dismiss_box("Success")
    assert program.path("Directory.txt").read_bytes() == f"{real(program.workdir)}/MM2.LOCK{CRLF}".encode()
    assert program.process_alive()


def test_typed_delay_applies_at_once_and_closing_restores_the_saved_one(launch):
    program = launch({"Directory.txt": lambda work: f"{work / 'MM2.LOCK'}{CRLF}", "MM2.LOCK": "locked",
                      "AutoDelete.txt": f"20000{CRLF}"})
    main = desktop.window_by_name(MAIN_WINDOW)
    lock = program.path("MM2.LOCK")
    desktop.click_main_button(main, "Turn ON")

    window = open_window(main, "Settings > Settings > Auto Delete", DELAY_WINDOW)
    where = desktop.geometry(window)
    assert (where.width, where.height) == (4680 // TWIPS_PER_PIXEL, 1365 // TWIPS_PER_PIXEL)
    click_control(window, DELAY_TEXT1)
    desktop.key("ctrl+a")
    desktop.type_text("300")
    desktop.screenshot("auto_delete_window")
    # Unsaved, the new delay is the sweeper's period within a second.
    gone_within(lock, timeout=3)
    lock.write_text("locked")
    assert gone_within(lock, timeout=2) <= 1.0
    assert program.path("AutoDelete.txt").read_bytes() == f"20000{CRLF}".encode()

    # Closed without saving: the saved 20 s applies again at the next tick.
    desktop.close_window(window)
    desktop.wait_window_gone(DELAY_WINDOW)
    time.sleep(1.5)
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 3.0), "swept although the saved delay is 20 s"
    assert program.process_alive()


def test_a_failed_save_is_reported_and_the_window_stays(launch):
    program = launch()
    program.path("AutoDelete.txt").mkdir()  # a directory in the file's place cannot be replaced
    main = desktop.window_by_name(MAIN_WINDOW)
    window = open_window(main, "Settings > Settings > Auto Delete", DELAY_WINDOW)
    click_control(window, DELAY_SAVE)
    # The box carries the program's title, as the main window does.
    dismiss_box(MAIN_WINDOW, count_before=1)
    assert desktop.windows_named(DELAY_WINDOW) == [window], "the window stays open after a failed Save"
    assert not desktop.windows_named("Success")
    assert program.path("AutoDelete.txt").is_dir()
    assert program.process_alive()
