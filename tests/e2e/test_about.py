"""The help window and the about box: help.txt read from the working directory, the keys each
window answers to, and System Information where the system has none."""

from __future__ import annotations

import desktop
from desktop import ABOUT_WINDOW, HELP_WINDOW, MAIN_WINDOW, TWIPS_PER_PIXEL, px

# Large red text: easy to find on screen, and only there when the document's formatting is shown.
RED_HELP = rb"{\rtf1\ansi{\colortbl;\red255\green0\blue0;}\fs72\b\cf1 LATCHSWEEP HELP\par}"
HELP_TEXT = desktop.control_twips("frmHelp", "helptxt")


def client_area(name: str) -> desktop.Geometry:
    return desktop.Geometry(*map(px, desktop.core_data()["clientAreas"][name]))


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
    window = desktop.open_window(main, "OpenHelp", HELP_WINDOW)
    assert desktop.geometry(window) == client_area("frmHelp"), "fixed place and size"
    desktop.wait_until(lambda: red_pixels(window, *HELP_TEXT) > 200, timeout=3,
                       message="help.txt is not shown with its formatting")
    desktop.screenshot("help_window")

    # Esc does not close it (Enter presses only the button with the focus); a second Help brings
    # the same window forward.
    desktop.key("Escape")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 1.0)
    desktop.choose_menu(main, "OpenHelp")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) == [window], 0.5)
    desktop.click_control(window, "frmHelp", "OKButton")
    desktop.wait_window_gone(HELP_WINDOW)

    # Every opening reads the file afresh: without it, the initial black text.
    program.path("help.txt").unlink()
    window = desktop.open_window(main, "OpenHelp", HELP_WINDOW)
    assert desktop.holds_for(lambda: red_pixels(window, *HELP_TEXT) == 0, 0.5)
    desktop.click_control(window, "frmHelp", "CancelButton")
    desktop.wait_window_gone(HELP_WINDOW)
    desktop.close_window(desktop.open_window(main, "OpenHelp", HELP_WINDOW))
    desktop.wait_window_gone(HELP_WINDOW)

    window = desktop.open_window(main, "OpenAbout", ABOUT_WINDOW)
    assert desktop.geometry(window) == client_area("frmAbout")
    desktop.screenshot("about_box")
    picture = desktop.control_twips("frmAbout", "picIcon")
    assert red_pixels(window, *picture) > 20, "the product picture, in red and dark red"
    # Each etched separator: a thin line drawn over the top row of a thicker one.
    lines = desktop.core_data()["aboutLines"]
    for top in sorted({line["y"] for line in lines}):
        under, over = sorted((line for line in lines if line["y"] == top), key=lambda line: -line["pixels"])
        rows = pixels(window, under["x1"], top, under["x2"] - under["x1"], under["pixels"] * TWIPS_PER_PIXEL)
        width = len(rows) // under["pixels"]
        assert set(rows[:width]) == {tuple(over["rgb"].to_bytes(3, "big"))}, f"the line drawn over at {top}"
        assert set(rows[width:]) == {tuple(under["rgb"].to_bytes(3, "big"))}, f"the line under it at {top}"

    # Alt+S, or the button, looks System Information up; there is none here, so a box titled
    # like the program says so, and the about box stays.
    for ask in (lambda: desktop.key("alt+s"), lambda: desktop.click_control(window, "frmAbout", "cmdSysInfo")):
        ask()
        desktop.answer_box(MAIN_WINDOW, already=1)
        assert desktop.windows_named(ABOUT_WINDOW) == [window]
    desktop.close_window(window)
    desktop.wait_window_gone(ABOUT_WINDOW)

    # Esc and Enter each close it, as OK does.
    for keys in ("Escape", "Return"):
        desktop.open_window(main, "OpenAbout", ABOUT_WINDOW)
        desktop.key(keys)
        desktop.wait_window_gone(ABOUT_WINDOW)
    desktop.click_control(desktop.open_window(main, "OpenAbout", ABOUT_WINDOW), "frmAbout", "cmdOK")
    desktop.wait_window_gone(ABOUT_WINDOW)
    assert program.process_alive()
