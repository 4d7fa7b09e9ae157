"""The notification-area round trip on three desktops (see desktops.py): the framed window centred,
Minimize on the wrapped menu bar and the way back ten times in a row, help and about off the task bar, every pop-up command, the tray host going away while
the window is hidden and coming back, and Exit leaving no icon."""

from __future__ import annotations

import shutil

import pytest

import desktop
import desktops
from desktop import ABOUT_WINDOW, DELAY_WINDOW, DIRECTORY_WINDOW, HELP_WINDOW, MAIN_WINDOW, wait_until

RESTORES = 10
OPENING_COMMANDS = [("Settings/Settings/MM2 Directory", DIRECTORY_WINDOW), ("Settings/Settings/Auto-Delete", DELAY_WINDOW),
                    ("Help/Help", HELP_WINDOW), ("Help/About", ABOUT_WINDOW)]


@pytest.fixture(params=["bare", "openbox", "xfce"])
def desk(request, display, tray_host):
    missing = [program for program in desktops.NEEDS[request.param] if not shutil.which(program)]
    if missing:
        pytest.skip(f"needs {', '.join(missing)} (scripts/setup.sh test installs them)")
    place = desktops.make(request.param, tray_host)
    place.start()
    yield place
    place.stop()


def expect_restored(place: desktops.Desktop, main: int, what: str) -> None:
    try:
        wait_until(lambda: place.restored(main), timeout=3)
    except desktop.WaitTimeout:
        raise AssertionError(f"{what}: not restored on the first try; {place.describe(main)}") from None


def test_round_trip(desk, launch, display):
    desktop_own = set(desktop.popups())  # xfwm4 keeps a small override-redirect window of its own
    program = launch(tray=None, bus=desk.bus)
    main = desktop.window_by_name(MAIN_WINDOW)
    wait_until(desk.icon_there, timeout=10, message="no icon in the notification area")

    # Centred on the screen, frame and all, once the window manager has framed it.
    def centred() -> bool:
        frame = desktops.frame_geometry(main)
        framed = frame.height > desktop.geometry(main).height or not desk.window_manager
        return framed and abs(frame.x + frame.width / 2 - display.width / 2) <= 1 and \
            abs(frame.y + frame.height / 2 - display.height / 2) <= 1
    wait_until(centred, timeout=3, message=f"the framed window is not centred: {desktops.frame_geometry(main)}")
    where = desktop.geometry(main)  # the menu bar wraps: Minimize stands alone on its second row
    desktop.screenshot(f"menu_bar_wrapped_{desk.name}", region=desktop.Geometry(
        where.x, where.y, where.width, where.height - round(desktop.MAIN_CLIENT_TWIPS[1] / desktop.TWIPS_PER_PIXEL)))

    # Shown normal already: the way back changes nothing, neither raises it over the help window
    # nor takes the focus from there.
    helper = desktop.open_window(main, "Help > Help", HELP_WINDOW)
    wait_until(lambda: desktops.focused() == helper, message="the help window never had the focus")
    desk.restore_from_icon()
    assert desktop.holds_for(lambda: desktops.focused() == helper and desktops.stacked_above(helper, main), 0.7), \
        "the way back raised a window already shown"
    # Minimize hides the main window alone: xfwm4 would take transient windows with it, out of
    # reach since help and about have no task-bar button.
    desktop.minimize()
    wait_until(lambda: desk.hidden(main), message="Minimize left the window on the task bar")
    assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW), 1.0), "Minimize took the help window too"
    desk.restore_from_icon()
    expect_restored(desk, main, "restore with the help window open")
    desktop.close_window(helper)
    desktop.wait_window_gone(HELP_WINDOW)

    for attempt in range(1, RESTORES + 1):
        desktop.minimize()
        wait_until(lambda: desk.hidden(main), message="Minimize left the window on the task bar")
        desk.restore_from_icon()
        expect_restored(desk, main, f"restore {attempt}")

    for path, title in OPENING_COMMANDS:
        desk.choose(path)
        opened = desktop.window_by_name(title)
        if title in (HELP_WINDOW, ABOUT_WINDOW):  # task bars that honour only the state list them otherwise
            assert "_NET_WM_STATE_SKIP_TASKBAR" in desktops.net_wm_state(opened), f"{title} is on the task bar"
        desktop.close_window(opened)
        desktop.wait_window_gone(title)
    desktop.minimize()
    desk.choose("Show Main Window")
    expect_restored(desk, main, "Show Main Window")

    # The tray host quits while the window is hidden: the window comes back to the task bar,
    # minimised; a tray host that starts again gets the icon, which restores the window.
    desktop.minimize()
    desk.stop_tray()
    wait_until(lambda: desk.minimised_on_task_bar(main), message="the window did not come back to the task bar")
    assert program.process_alive()
    desk.start_tray()
    wait_until(desk.icon_there, timeout=10, message="the icon did not come back")
    desk.restore_from_icon()
    expect_restored(desk, main, "restore after the tray came back")

    desk.choose("File/Exit")
    assert program.wait(timeout=5) == 0, program.log()
    desktop.wait_window_gone(MAIN_WINDOW)
    assert desktop.holds_for(lambda: not desk.icon_there(), 0.5), "an icon stayed in the notification area"
    assert set(desktop.popups()) <= desktop_own, "a menu outlived the program"
