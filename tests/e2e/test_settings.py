"""The two settings windows as a player uses them: choosing the game directory and setting the
scan delay while the sweeper runs."""

from __future__ import annotations

import os
import time

import desktop
from desktop import CRLF, DELAY_WINDOW, DIRECTORY_WINDOW, MAIN_WINDOW, gone_within, px, type_delay


def test_game_directory_and_scan_delay(launch):
    program = launch({"AutoDelete.txt": f"20000{CRLF}"})
    game = program.path("Game")
    game.mkdir()
    lock = game / "MM2.LOCK"
    main = desktop.window_by_name(MAIN_WINDOW)

    window = desktop.open_window(main, "OpenGameDirectory", DIRECTORY_WINDOW)
    where = desktop.geometry(window)
    assert (where.width, where.height) == tuple(map(px, desktop.layout("Form2")["client"]))
    desktop.screenshot("game_directory_window")
    # The list has the focus at the working directory; Down moves to its one subdirectory and
    # Enter opens it.
    desktop.key("Down", "Return")
    desktop.click_control(window, "Form2", "Command1")
    desktop.answer_box(desktop.core_data()["saved"]["Form2"][1])
    desktop.wait_window_gone(DIRECTORY_WINDOW)
    assert program.path("Directory.txt").read_bytes() == f"{os.path.realpath(game)}/MM2.LOCK{CRLF}".encode()

    # Turned on at the saved 20 s; a delay typed but not saved is the period within a second.
    lock.write_text("locked")
    desktop.click_main_button(main, "Command1")
    window = type_delay(main, "300")
    where = desktop.geometry(window)
    assert (where.width, where.height) == tuple(map(px, desktop.layout("Form3")["client"]))
    desktop.screenshot("auto_delete_window")
    gone_within(lock, 3)
    lock.write_text("locked")
    assert gone_within(lock, 2) <= 1.0
    assert program.path("AutoDelete.txt").read_bytes() == f"20000{CRLF}".encode()

    # Closed without saving: the saved 20 s applies again at the next tick.
    desktop.close_window(window)
    desktop.wait_window_gone(DELAY_WINDOW)
    time.sleep(1.5)
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 3.0), "swept although the saved delay is 20 s"

    # Saved: the file holds the typed line, and the window closes after the box.
    window = type_delay(main, "400")
    desktop.click_control(window, "Form3", "Command1")
    desktop.answer_box(desktop.core_data()["saved"]["Form3"][1])
    desktop.wait_window_gone(DELAY_WINDOW)
    assert program.path("AutoDelete.txt").read_bytes() == f"400{CRLF}".encode()
    gone_within(lock, 3)
    assert program.process_alive()
