"""The help window and the about box as a player meets them: help.txt read from the working
directory, the keys each window answers to, and the System Information button on a system that
has no System Information tool."""

from __future__ import annotations

import desktop
from conftest import MAIN_WINDOW

HELP_WINDOW = "Help"
ABOUT_WINDOW = "About Latchsweep"
TWIPS_PER_PIXEL = 15  # Xvfb's default 96 dpi

# Large red text: easy to find on screen, and only there when the document's formatting is shown.
RED_HELP = rb"{\rtf1\ansi{\colortbl;\red255\green0\blue0;}\fs72\b\cf1 LATCHSWEEP HELP\par}"


def px(twips: int) -> int:
    return round(twips / TWIPS_PER_PIXEL)


def inside(window: int, left: int, top: int, width: int, height: int) -> desktop.Geometry:
    """A region of a window's client area, given in twips."""
    where = desktop.geometry(window)
    return desktop.Geometry(where.x + px(left), where.y + px(top), px(width), px(height))


def pixels(region: desktop.Geometry) -> list[tuple[int, int, int]]:
    raw = desktop.region_pixels(region)
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def red_pixels(region: desktop.Geometry) -> int:
    return sum(1 for r, g, b in pixels(region) if r > 180 and g < 90 and b < 90)


def help_text_red_pixels(window: int) -> int:
    return red_pixels(inside(window, 120, 1080, 7575, 1575))


def click_control(window: int, left: int, top: int, width: int, height: int) -> None:
    desktop.click_in_window(window, px(left + width // 2), px(top + height // 2))


def open_help(main: int) -> int:
    desktop.choose_menu(main, "Help > Help")
    return desktop.window_by_name(HELP_WINDOW)


def open_about(main: int) -> int:
    desktop.choose_menu(main, "Help > About")
    return desktop.window_by_name(ABOUT_WINDOW)


def test_help_shows_the_working_directorys_file_and_only_its_buttons_close_it(launch):
    program = launch({"help.txt": RED_HELP})
    main = desktop.window_by_name(MAIN_WINDOW)
    window = open_help(main)
    # Its client area at its fixed place on the screen, at its fixed size.
    assert desktop.geometry(window) == desktop.Geometry(px(2760), px(3750), px(7860), px(2775))
    desktop.wait_until(lambda: help_text_red_pixels(window) > 200, timeout=3,
                       message="help.txt is not shown with its formatting")
    desktop.screenshot("help_window")

    # Esc and Enter do not close it; a second Help brings the same window forward.
    desktop.key("Escape")
    desktop.key("Return")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 1.0)
    desktop.choose_menu(main, "Help > Help")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 0.5)

    click_control(window, 6480, 120, 1215, 375)  # OK
    desktop.wait_window_gone(HELP_WINDOW)

    # Every opening reads the file afresh: without it, the initial black text.
    program.path("help.txt").unlink()
    window = open_help(main)
    assert desktop.holds_for(lambda: help_text_red_pixels(window) == 0, 0.5)
    click_control(window, 6480, 600, 1215, 375)  # Cancel
    desktop.wait_window_gone(HELP_WINDOW)

    window = open_help(main)
    desktop.close_window(window)
    desktop.wait_window_gone(HELP_WINDOW)
    assert program.process_alive()


def test_about_box_place_picture_and_separators(launch):
    launch()
    window = open_about(desktop.window_by_name(MAIN_WINDOW))
    assert desktop.geometry(window) == desktop.Geometry(px(2340), px(1935), px(5790), px(4425))
    desktop.screenshot("about_box")
    # The product picture is drawn in red and dark red.
    assert red_pixels(inside(window, 120, 240, 480, 480)) > 20
    # Each etched separator: a grey line with the lower half of a white line beneath it.
    for height in (2400, 3360):
        rows = pixels(desktop.Geometry(desktop.geometry(window).x + px(120), desktop.geometry(window).y + px(height),
                                       px(5669) - px(120), 2))
        width = len(rows) // 2
        assert set(rows[:width]) == {(128, 128, 128)}, f"grey line at {height}"
        assert set(rows[width:]) == {(255, 255, 255)}, f"white line at {height}"


def test_about_box_keys_and_system_information(launch):
    program = launch()
    main = desktop.window_by_name(MAIN_WINDOW)
    window = open_about(main)

    # Alt+S looks System Information up; this system has none, so a box titled like the
    # program says so, and the about box stays.
    desktop.key("alt+s")
    desktop.wait_until(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 2, timeout=5,
                       message="no message about System Information")
    desktop.screenshot("system_information_unavailable")
    desktop.key("Return")
    desktop.wait_until(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 1, timeout=5,
                       message="the message stays")
    assert desktop.windows_named(ABOUT_WINDOW) == [window]

    # The same by a click on the button.
    click_control(window, 4440, 3960, 1245, 345)
    desktop.wait_until(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 2, timeout=5,
                       message="no message about System Information")
    desktop.key("Return")
    desktop.wait_until(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 1, timeout=5,
                       message="the message stays")
    desktop.close_window(window)
    desktop.wait_window_gone(ABOUT_WINDOW)

    # Esc and Enter each close it, as OK does.
    for keys in ("Escape", "Return"):
        open_about(main)
        desktop.key(keys)
        desktop.wait_window_gone(ABOUT_WINDOW)
    window = open_about(main)
    click_control(window, 120, 3960, 4260, 345)  # OK
    desktop.wait_window_gone(ABOUT_WINDOW)
    assert program.process_alive()
