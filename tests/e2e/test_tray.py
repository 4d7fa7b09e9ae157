"""The notification area as a player meets it: the docked icon and its animation, Minimize and
the way back, the pop-up menu and its commands."""

from __future__ import annotations

import time

import desktop
from desktop import CRLF, MAIN_WINDOW, gone_within

POPUP_ENTRIES = len(desktop.core_data()["popupMenu"][0]["children"])


def drawn_pixels(pixels: bytes) -> int:
    """Pixels that differ from the background, which shows in the icon's top-left corner."""
    return sum(1 for i in range(0, len(pixels), 3) if pixels[i:i + 3] != pixels[:3])


def right_click_popup(icon: desktop.Geometry) -> int:
    before = desktop.popups()
    desktop.click_at(*icon.center, button=3)
    return desktop.wait_popup(before)


def test_icon_animation_minimize_and_the_popup(launch):
    program = launch({"Directory.txt": lambda work: f"{work / 'MM2.LOCK'}{CRLF}", "AutoDelete.txt": f"300{CRLF}"})
    icon = desktop.docked_icon()
    panel = desktop.geometry("panel")
    assert icon.width >= 16 and icon.height >= 16, f"tray icon too small: {icon}"
    assert panel.x <= icon.x and icon.x + icon.width <= panel.x + panel.width, "the icon sits in the panel"
    assert panel.y <= icon.y and icon.y + icon.height <= panel.y + panel.height, "the icon sits in the panel"

    # Once a second the icon steps to the other frame (the start-up icon may show before the
    # first tick, so the frames are taken from the changes).
    frames, changed_at, shots = [], [], []
    current = desktop.region_pixels(icon)
    for _ in range(3):
        current = desktop.wait_until(lambda: (lambda now: now if now != current else None)(desktop.region_pixels(icon)),
                                     timeout=2.5, message="the tray icon stopped changing")
        changed_at.append(time.monotonic())
        frames.append(current)
        shots.append(desktop.screenshot(f"tray_frame_{len(frames)}", region=panel))
    assert frames[0] != frames[1] and frames[2] == frames[0], "the icon does not alternate between two frames"
    for earlier, later in zip(changed_at, changed_at[1:]):
        assert 0.5 < later - earlier < 1.6, f"frames {later - earlier:.2f} s apart, expected 1 s"
    assert drawn_pixels(frames[0]) != drawn_pixels(frames[1]), "one frame has the spark marks"
    sparks = 0 if drawn_pixels(frames[0]) > drawn_pixels(frames[1]) else 1
    shots[sparks].replace(shots[0].with_name("tray_frame1_sparks.png"))
    shots[1 - sparks].replace(shots[0].with_name("tray_frame2_plain.png"))
    shots[2].unlink()

    # The pop-up opens on the release of the right button, not on the press.
    before = desktop.popups()
    desktop.move_to(*icon.center)
    desktop.xdotool("mousedown", "3")
    assert desktop.holds_for(lambda: desktop.popups() == before, 0.7), "the pop-up opened on the press"
    desktop.xdotool("mouseup", "3")
    where = desktop.geometry(desktop.wait_popup(before))
    assert where.height > where.width / 2, "four entries, one above the other"
    desktop.screenshot("tray_popup")
    desktop.key("Escape")
    desktop.wait_until(lambda: not desktop.popups(), message="the pop-up stayed after Escape")
    assert desktop.windows_named(MAIN_WINDOW)

    # Minimize hides the window; the icon stays and the sweeper runs on behind the scenes.
    desktop.click_main_button(MAIN_WINDOW, "Command1")
    desktop.minimize()
    desktop.screenshot("minimized")
    assert program.process_alive() and len(desktop.tray_icons()) == 1
    lock = program.path("MM2.LOCK")
    lock.write_text("locked")
    gone_within(lock, 4)

    # A single click is no way back, nor is time; a double click is, and a second one changes nothing.
    desktop.click_at(*icon.center)
    assert desktop.holds_for(lambda: not desktop.windows_named(MAIN_WINDOW), 1.0), "a single click restored it"
    desktop.double_click_at(*icon.center)
    assert desktop.geometry(desktop.window_by_name(MAIN_WINDOW)).width == desktop.MAIN_WIDTH, "restored in normal size"
    assert len(desktop.tray_icons()) == 1
    desktop.double_click_at(*icon.center)
    assert desktop.holds_for(lambda: len(desktop.windows_named(MAIN_WINDOW)) == 1, 0.7)

    # The pop-up's Show Main Window brings it back too.
    desktop.minimize()
    desktop.choose_popup_item(right_click_popup(icon), POPUP_ENTRIES - 1, POPUP_ENTRIES)
    desktop.window_by_name(MAIN_WINDOW)

    # The pop-up opens again, and its File > Exit ends the program.
    file_menu = desktop.choose_popup_item(right_click_popup(icon), 0, POPUP_ENTRIES)
    assert file_menu is not None, "File opens no submenu"
    desktop.choose_popup_item(file_menu, 0, 1)
    assert program.wait(timeout=5) == 0, program.log()
    desktop.expect_no_trace()
