"""The program as a player meets it: start-up, the main job, Minimize and every way out."""

from __future__ import annotations

import signal
import subprocess
import time
from pathlib import Path

import pytest

import desktop
from conftest import MAIN_WINDOW

CRLF = "\r\n"


def lock_list(work: Path) -> str:
    """Directory.txt naming the lock file inside the working directory, as Save writes it."""
    return f"{work / 'MM2.LOCK'}{CRLF}"


def deletion_time(path: Path, since: float, timeout: float) -> float:
    """Seconds from `since` (a time.monotonic() value) until `path` is gone."""
    desktop.wait_until(lambda: not path.exists(), timeout, interval=0.01,
                       message=f"{path.name} still there after {timeout:.1f} s")
    return time.monotonic() - since


def window_manager_running() -> bool:
    out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
                         text=True).stdout
    return "window id" in out


@pytest.fixture(scope="module")
def has_tray(executable) -> bool:
    return desktop.tray_adapter_built(executable)


def expect_tray_icon(has_tray: bool) -> None:
    """With a tray adapter the program's icon is docked within a few seconds of start."""
    if has_tray:
        desktop.wait_until(lambda: len(desktop.tray_icons()) == 1, timeout=10,
                           message="the tray icon was not embedded")


# ---------------------------------------------------------------------------------------
# Start-up


def test_start_up_centred_with_turn_on_focused_and_nothing_swept_before_it(launch, display):
    # AutoDelete.txt holds letters: the delay refresher refuses them, so the sweeper keeps
    # its start-up period of 6000 ms once switched on.
    program = launch({"Directory.txt": lock_list, "MM2.LOCK": "locked", "AutoDelete.txt": f"abc{CRLF}"})
    window = desktop.window_by_name(MAIN_WINDOW)
    where = desktop.geometry(window)
    desktop.screenshot("start_up")

    assert where.width == 312, "client area 4680 twips wide at 15 twips per pixel"
    assert abs(where.x - (display.width - where.width) / 2) <= 1, f"not centred horizontally: {where}"
    assert abs(where.y - (display.height - where.height) / 2) <= 1, f"not centred vertically: {where}"
    assert desktop.focused_window() == window, "the main window has the keyboard focus"

    # Off at start: nothing is deleted, not even after the start-up period has passed.
    assert desktop.holds_for(lambda: program.path("MM2.LOCK").exists(), 6.5), \
        "the lock file was deleted before Turn ON"
    assert program.path("Directory.txt").read_bytes() == lock_list(program.workdir).encode(), \
        "start-up writes nothing"

    # Space presses the focused button: that must be "Turn ON".
    pressed = time.monotonic()
    desktop.key("space")
    elapsed = deletion_time(program.path("MM2.LOCK"), pressed, timeout=9)
    assert 5.5 <= elapsed <= 7.5, f"first sweep after {elapsed:.2f} s, expected one 6000 ms period"
    assert program.process_alive()


def test_tray_icon_embedded_at_start_up(program, has_tray):
    if not has_tray:
        pytest.skip("the program has no tray adapter yet (it does not link QSystemTrayIcon)")
    expect_tray_icon(has_tray)
    icon = desktop.tray_icons()[0]
    desktop.screenshot("tray_icon")
    assert icon.width >= 16 and icon.height >= 16, f"tray icon too small: {icon}"
    assert program.process_alive()


# ---------------------------------------------------------------------------------------
# The main job


def test_sweeps_at_the_scan_delay_and_stops_on_turn_off(launch):
    program = launch({"Directory.txt": lock_list, "MM2.LOCK": "locked", "AutoDelete.txt": f"1000{CRLF}"})
    window = desktop.window_by_name(MAIN_WINDOW)
    lock = program.path("MM2.LOCK")

    clicked = time.monotonic()
    desktop.click_main_button(window, "Turn ON")
    # The refresher's first tick (1 s) sets the 1000 ms delay and restarts the countdown.
    first = deletion_time(lock, clicked, timeout=6)
    assert 1.5 <= first <= 3.5, f"first sweep after {first:.2f} s, expected about 2 s"

    # Recreated, it is gone again at the next sweep, period after period.
    for round_ in range(3):
        lock.write_text("locked again")
        written = time.monotonic()
        again = deletion_time(lock, written, timeout=3)
        assert again <= 1.5, f"round {round_}: gone after {again:.2f} s with a 1000 ms delay"

    desktop.click_main_button(window, "Turn OFF")
    time.sleep(0.3)  # a sweep already due as the click lands may still run
    lock.write_text("locked")
    assert desktop.holds_for(lock.exists, 2.5), "swept after Turn OFF"

    # On again: the period applied by the refresher survived Turn OFF, and the first sweep
    # comes one full period after the click, not at once.
    clicked = time.monotonic()
    desktop.click_main_button(window, "Turn ON")
    elapsed = deletion_time(lock, clicked, timeout=4)
    assert 0.8 <= elapsed <= 1.7, f"first sweep after {elapsed:.2f} s, expected one 1000 ms period"
    assert program.process_alive()
    desktop.screenshot("sweeping")


def test_switching_on_without_directory_txt_is_silent(launch):
    program = launch({"AutoDelete.txt": f"200{CRLF}", "MM2.LOCK": "locked"})
    window = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(window, "Turn ON")
    assert desktop.holds_for(lambda: program.process_alive() and not desktop.popups()
                             and desktop.windows_named(MAIN_WINDOW) == [window], 2.0), \
        "no message, no other window, no exit"
    assert program.path("MM2.LOCK").exists()
    assert sorted(p.name for p in program.workdir.iterdir()) == ["AutoDelete.txt", "MM2.LOCK"], \
        "the sweeper creates no file"


# ---------------------------------------------------------------------------------------
# Minimize


def test_minimize_hides_the_window_and_sweeping_goes_on(launch, has_tray):
    if not has_tray:
        pytest.skip("the program has no tray adapter yet: a hidden window could not come back")
    program = launch({"Directory.txt": lock_list, "AutoDelete.txt": f"300{CRLF}"})
    expect_tray_icon(has_tray)
    window = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(window, "Turn ON")

    desktop.choose_menu(window, "Minimize")
    desktop.wait_window_gone(MAIN_WINDOW)
    desktop.screenshot("minimized")
    assert program.process_alive()
    assert len(desktop.tray_icons()) == 1, "the tray icon stays while the window is hidden"

    lock = program.path("MM2.LOCK")
    lock.write_text("locked")
    deletion_time(lock, time.monotonic(), timeout=4)  # the sweeper runs on behind the scenes


# ---------------------------------------------------------------------------------------
# Ways out


def close_button(program, window) -> None:
    if window_manager_running():
        desktop.key("alt+F4")
    else:
        # Bare X server: deliver the close request a window manager sends for the close button.
        desktop.close_window(window)


WAYS_OUT = {
    "file_exit": lambda program, window: desktop.choose_menu(window, "File > Exit"),
    "close_button": close_button,
    "sigterm": lambda program, window: program.send_signal(signal.SIGTERM),
    "sigint": lambda program, window: program.send_signal(signal.SIGINT),
    "sighup": lambda program, window: program.send_signal(signal.SIGHUP),
}


@pytest.mark.parametrize("way", list(WAYS_OUT))
def test_every_way_out_ends_the_program_and_leaves_no_icon(launch, has_tray, way):
    program = launch({"Directory.txt": lock_list, "AutoDelete.txt": f"500{CRLF}"})
    expect_tray_icon(has_tray)
    window = desktop.window_by_name(MAIN_WINDOW)
    desktop.click_main_button(window, "Turn ON")  # ending works with the sweeper on too
    time.sleep(0.2)

    WAYS_OUT[way](program, window)

    code = program.wait_exit(timeout=5)
    assert code == 0, f"ended with status {code}; output: {program.log()}"
    desktop.wait_window_gone(MAIN_WINDOW)
    desktop.wait_until(lambda: not desktop.tray_icons(), timeout=5, message="an icon stayed in the tray")
    assert not desktop.popups(), "a menu outlived the program"
    desktop.screenshot(f"after_{way}")
