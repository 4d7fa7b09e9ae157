"""The program as a player meets it: start-up, the main job and every way out."""

from __future__ import annotations

import signal
import time
from pathlib import Path

import pytest

import desktop
from desktop import CRLF, MAIN_WINDOW, gone_within


def lock_list(work: Path) -> str:
    """Directory.txt naming the lock file inside the working directory, as Save writes it."""
    return f"{work / 'MM2.LOCK'}{CRLF}"


def test_start_up_centred_with_turn_on_focused_and_nothing_swept_before_it(launch, display):
    # Letters in AutoDelete.txt are refused, so the sweeper keeps its start-up period of 6000 ms.
    program = launch({"Directory.txt": lock_list, "MM2.LOCK": "locked", "AutoDelete.txt": f"abc{CRLF}"})
    window = desktop.window_by_name(MAIN_WINDOW)
    where = desktop.geometry(window)
    icon = desktop.docked_icon()
    desktop.screenshot("start_up")

    assert icon.width >= 16 and icon.height >= 16, f"tray icon too small: {icon}"
    assert where.width == desktop.MAIN_WIDTH, "the client area's width at 15 twips per pixel"
    assert abs(where.x - (display.width - where.width) / 2) <= 1, f"not centred horizontally: {where}"
    assert abs(where.y - (display.height - where.height) / 2) <= 1, f"not centred vertically: {where}"
    assert int(desktop.xdotool("getwindowfocus", "-f").split()[0]) == window, "the main window has the keyboard focus"

    lock = program.path("MM2.LOCK")
    assert desktop.holds_for(lock.exists, 6.5), "the lock file was deleted before Turn ON"
    assert program.path("Directory.txt").read_bytes() == lock_list(program.workdir).encode(), "start-up writes nothing"

    pressed = time.monotonic()
    desktop.key("space")  # presses the focused button, which must be "Turn ON"
    elapsed = gone_within(lock, 9, since=pressed)
    assert 5.5 <= elapsed <= 7.5, f"first sweep after {elapsed:.2f} s, expected one 6000 ms period"
    assert program.process_alive()


def test_sweeps_at_the_scan_delay_and_stops_on_turn_off(launch):
    program = launch({"Directory.txt": lock_list, "MM2.LOCK": "locked", "AutoDelete.txt": f"1000{CRLF}"})
    window = desktop.window_by_name(MAIN_WINDOW)
    lock = program.path("MM2.LOCK")

    clicked = time.monotonic()
    desktop.click_main_button(window, "Command1")
    # The refresher's first tick (1 s) sets the 1000 ms delay and restarts the countdown.
    first = gone_within(lock, 6, since=clicked)
    assert 1.5 <= first <= 3.5, f"first sweep after {first:.2f} s, expected about 2 s"
    for round_ in range(3):
        lock.write_text("locked again")
        again = gone_within(lock, 3)
        assert again <= 1.5, f"round {round_}: gone after {again:.2f} s with a 1000 ms delay"

    desktop.click_main_button(window, "Command2")
    time.sleep(0.3)  # a sweep already due as the click lands may still run
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 2.5), "swept after Turn OFF"

    # On again: the delay survived Turn OFF, and the first sweep comes one period after the click.
    clicked = time.monotonic()
    desktop.click_main_button(window, "Command1")
    elapsed = gone_within(lock, 4, since=clicked)
    assert 0.8 <= elapsed <= 1.7, f"first sweep after {elapsed:.2f} s, expected one 1000 ms period"
    assert program.process_alive()
    desktop.screenshot("sweeping")


WAYS_OUT = {
    "file_exit": lambda program, window: desktop.choose_menu(window, "Exit"),
    "close_button": lambda program, window: desktop.close_window(window),
    "sigterm": lambda program, window: program.send_signal(signal.SIGTERM),
    "sigint": lambda program, window: program.send_signal(signal.SIGINT),
    "sighup": lambda program, window: program.send_signal(signal.SIGHUP),
}


@pytest.mark.parametrize("way", list(WAYS_OUT))
def test_every_way_out_ends_the_program_and_leaves_no_icon(launch, way):
    program = launch({"Directory.txt": lock_list, "AutoDelete.txt": f"500{CRLF}"})
    desktop.docked_icon()
    window = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(window, "Command1")  # ending works with the sweeper on too
    time.sleep(0.2)

    WAYS_OUT[way](program, window)
    code = program.wait(timeout=5)
    assert code == 0, f"ended with status {code}; output: {program.log()}"
    desktop.expect_no_trace()
    desktop.screenshot(f"after_{way}")
