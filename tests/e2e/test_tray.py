"""The notification area as a player meets it: the docked icon and its animation, the way back
from Minimize, the pop-up menu and its commands, and a tray host that comes and goes."""

from __future__ import annotations

import os
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

import desktop
from conftest import MAIN_WINDOW

POPUP_ENTRIES = 4  # File, Settings, Help, Show Main Window


def docked_icon(timeout: float = 10) -> desktop.Geometry:
    """The program's one icon in the tray host's panel."""
    icons = desktop.wait_until(lambda: (lambda found: found if len(found) == 1 else None)(desktop.tray_icons()),
                               timeout, message="the tray does not hold exactly one icon")
    return icons[0]


def save_region(name: str, region: desktop.Geometry) -> Path:
    """A screenshot of one region of the screen, kept with the other screenshots."""
    directory = Path(os.environ.get("LATCHSWEEP_SCREENSHOTS", "screenshots"))
    directory.mkdir(parents=True, exist_ok=True)
    path = directory / f"{name}.png"
    subprocess.run(["import", "-window", "root", "-crop", f"{region.width}x{region.height}+{region.x}+{region.y}",
                    "+repage", str(path)], check=True, timeout=20)
    return path


def drawn_pixels(pixels: bytes) -> int:
    """Pixels that differ from the background, which shows in the icon's top-left corner."""
    background = pixels[:3]
    return sum(1 for i in range(0, len(pixels), 3) if pixels[i:i + 3] != background)


def main_window_shown() -> bool:
    return bool(desktop.windows_named(MAIN_WINDOW))


def right_click_popup(icon: desktop.Geometry) -> int:
    before = desktop.popups()
    desktop.click_at(*icon.center, button=3)
    return desktop.wait_popup(before)


def choose(popup: int, index: int, count: int) -> int | None:
    """Clicks an entry of a pop-up; returns the submenu it opens, if any shows up."""
    before = desktop.popups()
    desktop.click_menu_item(popup, index, count)
    try:
        return desktop.wait_popup(before, timeout=1.5)
    except desktop.WaitTimeout:
        return None


def minimize() -> None:
    desktop.choose_menu(desktop.window_by_name(MAIN_WINDOW), "Minimize")
    desktop.wait_window_gone(MAIN_WINDOW)


# ---------------------------------------------------------------------------------------
# The icon


def test_the_icon_is_docked_and_blinks_between_two_frames(program):
    icon = docked_icon()
    panel = desktop.geometry("panel")
    assert icon.width >= 16 and icon.height >= 16, f"tray icon too small: {icon}"
    assert panel.contains(icon.x, icon.y) and panel.contains(icon.x + icon.width - 1, icon.y + icon.height - 1)

    # Once a second the icon steps to the other frame: the one after the next change is the
    # one after the change before (the start-up icon may show before the first tick).
    frames = []
    changed_at = []
    current = desktop.region_pixels(icon)
    for _ in range(3):
        current = desktop.wait_until(lambda: (lambda now: now if now != current else None)(desktop.region_pixels(icon)),
                                     timeout=2.5, interval=0.05, message="the tray icon stopped changing")
        changed_at.append(time.monotonic())
        frames.append(current)
        save_region(f"tray_frame_{len(frames)}", panel)
    assert frames[0] != frames[1] and frames[2] == frames[0], "the icon does not alternate between two frames"
    for earlier, later in zip(changed_at, changed_at[1:]):
        assert 0.5 < later - earlier < 1.6, f"frames {later - earlier:.2f} s apart, expected 1 s"

    # The frame with the spark marks covers more of the background than the one without.
    sparks, plain = (1, 2) if drawn_pixels(frames[0]) > drawn_pixels(frames[1]) else (2, 1)
    directory = Path(os.environ.get("LATCHSWEEP_SCREENSHOTS", "screenshots"))
    (directory / f"tray_frame_{sparks}.png").replace(directory / "tray_frame1_sparks.png")
    (directory / f"tray_frame_{plain}.png").replace(directory / "tray_frame2_plain.png")
    (directory / "tray_frame_3.png").unlink(missing_ok=True)
    assert drawn_pixels(frames[0]) != drawn_pixels(frames[1])


# ---------------------------------------------------------------------------------------
# The way back


def test_minimize_then_a_double_click_brings_the_window_back(program):
    icon = docked_icon()
    minimize()
    assert program.process_alive()

    # A single click is no way back, nor is time.
    desktop.click_at(*icon.center)
    assert desktop.holds_for(lambda: not main_window_shown(), 1.0), "a single click brought the window back"

    desktop.double_click_at(*icon.center)
    window = desktop.window_by_name(MAIN_WINDOW, timeout=5)
    assert desktop.geometry(window).width == 312, "restored in normal size"
    assert len(desktop.tray_icons()) == 1

    desktop.double_click_at(*icon.center)  # already shown: nothing changes
    assert desktop.holds_for(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 1, 0.7)


# ---------------------------------------------------------------------------------------
# The pop-up


def test_the_popup_opens_on_the_right_button_release(program):
    icon = docked_icon()
    before = desktop.popups()
    desktop.press_at(*icon.center, button=3)
    assert desktop.holds_for(lambda: desktop.popups() == before, 0.7), "the pop-up opened on the press"
    desktop.release(3)
    popup = desktop.wait_popup(before)
    where = desktop.geometry(popup)
    assert where.height > where.width / 2, "four entries, one above the other"
    desktop.screenshot("tray_popup")
    desktop.key("Escape")
    desktop.wait_until(lambda: not desktop.popups(), message="the pop-up stayed after Escape")
    assert program.process_alive() and main_window_shown()


def test_popup_exit_ends_the_program_and_leaves_no_icon(program):
    icon = docked_icon()
    time.sleep(2.5)  # the animation has replaced the window's icon a few times
    popup = right_click_popup(icon)
    file_menu = choose(popup, 0, POPUP_ENTRIES)
    assert file_menu is not None, "File opens no submenu"
    choose(file_menu, 0, 1)  # Exit

    assert program.wait_exit(timeout=5) == 0, program.log()
    desktop.wait_until(lambda: not desktop.tray_icons(), timeout=5, message="an icon stayed in the tray")
    desktop.wait_window_gone(MAIN_WINDOW)
    assert not desktop.popups(), "a menu outlived the program"


def test_popup_show_main_window_restores_and_the_popup_opens_again(program):
    icon = docked_icon()
    minimize()
    popup = right_click_popup(icon)
    choose(popup, POPUP_ENTRIES - 1, POPUP_ENTRIES)  # Show Main Window
    desktop.window_by_name(MAIN_WINDOW, timeout=5)

    popup = right_click_popup(icon)
    desktop.key("Escape")
    desktop.wait_until(lambda: popup not in desktop.popups(), message="the second pop-up stayed")


# ---------------------------------------------------------------------------------------
# A tray host that comes and goes


def test_after_the_tray_host_restarts_the_icon_is_back(program, tray_host):
    docked_icon()
    minimize()
    tray_host.restart()
    icon = docked_icon()
    desktop.screenshot("tray_after_restart")
    desktop.double_click_at(*icon.center)
    desktop.window_by_name(MAIN_WINDOW, timeout=5)


def test_without_a_tray_host_minimize_keeps_the_window_and_a_late_host_gets_the_icon(display, tray_host, executable):
    tray_host.stop()
    root = Path(tempfile.mkdtemp(prefix="latchsweep-e2e-"))
    (root / "work").mkdir()
    program = desktop.Program(executable, root / "work", root / "logs").start()
    try:
        window = desktop.window_by_name(MAIN_WINDOW, timeout=15)
        desktop.choose_menu(window, "Minimize")
        # Nothing could bring a hidden window back: it stays where the desktop can reach it.
        assert desktop.holds_for(main_window_shown, 1.5), "the window vanished with no tray to come back through"

        tray_host.start()
        icon = docked_icon(timeout=10)
        minimize()
        desktop.double_click_at(*icon.center)
        desktop.window_by_name(MAIN_WINDOW, timeout=5)
    finally:
        program.kill()
        tray_host.ensure_running()
        subprocess.run(["rm", "-rf", str(root)], check=False)
    desktop.wait_until(lambda: not desktop.windows_named(MAIN_WINDOW), timeout=5)
