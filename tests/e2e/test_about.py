"""The help window and the about box: help.txt read from the working directory, the keys each
window answers to, and System Information where the system has none."""

from __future__ import annotations

import desktop
from desktop import ABOUT_WINDOW, HELP_WINDOW, MAIN_WINDOW, TWIPS_PER_PIXEL

# Large red text: easy to find on screen, and only there when the document's formatting is shown.
RED_HELP = rb"{\rtf1\ansi{\colortbl;\red255\green0\blue0;}\fs72\b\cf1 LATCHSWEEP HELP\par}"
HELP_TEXT = (120, 1080, 7575, 1575)


def px(twips: int) -> int:
    return round(twips / TWIPS_PER_PIXEL)


def pixels(window: int, left: int, top: int, width: int, height: int) -> list[tuple[int, ...]]:
    """The pixels of a region of a window's client area given in twips."""
    where = desktop.geometry(window)
    raw = desktop.region_pixels(desktop.Geometry(where.x + px(left), where.y + px(top), px(width), px(height)))
    return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]


def red_pixels(window: int, *region: int) -> int:
    return sum(1 for r, g, b in pixels(window, *region) if r > 180 and g < 90 and b < 90)


def test_help_window_and_about_box(launch):
    program = launch({"help.txt": RED_HELP})
    main = desktop.window_by_name(MAIN_WINDOW)
    window = desktop.open_window(main, "Help > Help", HELP_WINDOW)
    assert desktop.geometry(window) == desktop.Geometry(px(2760), px(3750), px(7860), px(2775)), "fixed place and size"
    desktop.wait_until(lambda: red_pixels(window, *HELP_TEXT) > 200, timeout=3,
                       message="help.txt is not shown with its formatting")
    desktop.screenshot("help_window")

    # Esc and Enter do not close it; a second Help brings the same window forward.
    desktop.key("Escape", "Return")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 1.0)
    desktop.choose_menu(main, "Help > Help")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 0.5)
    desktop.click_twips(window, 6480, 120, 1215, 375)  # OK
    desktop.wait_window_gone(HELP_WINDOW)

    # Every opening reads the file afresh: without it, the initial black text.
    program.path("help.txt").unlink()
    window = desktop.open_window(main, "Help > Help", HELP_WINDOW)
    assert desktop.holds_for(lambda: red_pixels(window, *HELP_TEXT) == 0, 0.5)
    desktop.click_twips(window, 6480, 600, 1215, 375)  # Cancel
    desktop.wait_window_gone(HELP_WINDOW)
    desktop.close_window(desktop.open_window(main, "Help > Help", HELP_WINDOW))
    desktop.wait_window_gone(HELP_WINDOW)

    window = desktop.open_window(main, "Help > About", ABOUT_WINDOW)
    assert desktop.geometry(window) == desktop.Geometry(px(2340), px(1935), px(5790), px(4425))
    desktop.screenshot("about_box")
    assert red_pixels(window, 120, 240, 480, 480) > 20, "the product picture, in red and dark red"
    # Each etched separator: a grey line with a white line beneath it.
    for top in (2400, 3360):
        rows = pixels(window, 120, top, 5669 - 120, 2 * TWIPS_PER_PIXEL)
        width = len(rows) // 2
        assert set(rows[:width]) == {(128, 128, 128)}, f"grey line at {top}"
        assert set(rows[width:]) == {(255, 255, 255)}, f"white line at {top}"

    # Alt+S, or the button, looks System Information up; there is none here, so a box titled
    # like the program says so, and the about box stays.
    for ask in (lambda: desktop.key("alt+s"), lambda: desktop.click_twips(window, 4440, 3960, 1245, 345)):
        ask()
        desktop.answer_box(MAIN_WINDOW, already=1)
        assert desktop.windows_named(ABOUT_WINDOW) == [window]
    desktop.close_window(window)
    desktop.wait_window_gone(ABOUT_WINDOW)

    # Esc and Enter each close it, as OK does.
    for keys in ("Escape", "Return"):
        desktop.open_window(main, "Help > About", ABOUT_WINDOW)
        desktop.key(keys)
        desktop.wait_window_gone(ABOUT_WINDOW)
    desktop.click_twips(desktop.open_window(main, "Help > About", ABOUT_WINDOW), 120, 3960, 4260, 345)  # OK
    desktop.wait_window_gone(ABOUT_WINDOW)
    assert program.process_alive()
