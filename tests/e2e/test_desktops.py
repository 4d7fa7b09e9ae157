"""The notification-area round trip on four desktops (see desktops.py): the framed window centred,
Minimize on the wrapped menu bar and the way back ten times in a row, help and about off the task
bar, every pop-up command, the tray host going away while the window is hidden and coming back, and
Exit leaving no icon. On sway (Wayland) a client cannot place its window, has no skip-taskbar hint,
and Qt never reports the minimised state: the checks there are the window at its size, floated, and
sway's own record of what is shown and focused; a host that offers an activation token has it used.
Every command of the menu bar is chosen from the keyboard on openbox and on sway."""

from __future__ import annotations

import re
import shutil

import pytest

import desktop
import desktops
from desktop import ABOUT_WINDOW, DELAY_WINDOW, DIRECTORY_WINDOW, HELP_WINDOW, MAIN_WINDOW, wait_until

RESTORES = 10
OPENING_COMMANDS = [("Settings/Settings/MM2 Directory", DIRECTORY_WINDOW), ("Settings/Settings/Auto-Delete", DELAY_WINDOW),
                    ("Help/Help", HELP_WINDOW), ("Help/About", ABOUT_WINDOW)]


def started(name: str, tray_host):
    missing = [program for program in desktops.NEEDS[name] if not shutil.which(program)]
    if missing:
        pytest.skip(f"needs {', '.join(missing)} (scripts/setup.sh test installs them)")
    place = desktops.make(name, tray_host)
    try:
        place.start()
        yield place
    finally:
        place.stop()


@pytest.fixture(params=["bare", "openbox", "xfce", "sway"])
def desk(request, display, tray_host):
    yield from started(request.param, tray_host)


# The keyboard on one X11 desktop and on Wayland.
@pytest.fixture(params=["openbox", "sway"])
def keyboard_desk(request, display, tray_host):
    yield from started(request.param, tray_host)


def expect_restored(place: desktops.Desktop, main: int, what: str) -> None:
    try:
        wait_until(lambda: place.restored(main), timeout=3)
    except desktop.WaitTimeout:
        raise AssertionError(f"{what}: not restored on the first try; {place.describe(main)}") from None


def test_round_trip(desk, launch, display):
    desktop_own = desk.popups()  # xfwm4 keeps a small override-redirect window of its own
    program = launch(**desk.launch_options())
    main = desk.main_window()
    wait_until(desk.icon_there, timeout=10, message="no icon in the notification area")
    wait_until(lambda: desk.centred(main, display), timeout=3, message=f"not centred: {desk.describe(main)}")
    desk.screenshot_menu_bar(main)

    # Shown normal already: the way back changes nothing, neither raises it over the help window
    # nor takes the focus from there.
    helper = desk.open_window(main, "OpenHelp", HELP_WINDOW)
    wait_until(lambda: desk.focused(helper), message="the help window never had the focus")
    desk.restore_from_icon()
    assert desktop.holds_for(lambda: desk.kept_in_front(helper, main), 0.7), "the way back raised a window already shown"
    # Minimize hides the main window alone: xfwm4 would take transient windows with it, out of
    # reach since help and about have no task-bar button.
    desk.minimize()
    wait_until(lambda: desk.hidden(main), message="Minimize left the window on the task bar")
    assert desktop.holds_for(lambda: desk.windows_named(HELP_WINDOW), 1.0), "Minimize took the help window too"
    desk.restore_from_icon()
    expect_restored(desk, main, "restore with the help window open")
    desk.close(helper)
    desk.window_gone(HELP_WINDOW)

    for attempt in range(1, RESTORES + 1):
        desk.minimize()
        wait_until(lambda: desk.hidden(main), message="Minimize left the window on the task bar")
        desk.restore_from_icon()
        expect_restored(desk, main, f"restore {attempt}")

    for path, title in OPENING_COMMANDS:
        desk.choose(path)
        opened = desk.window(title)
        if title in (HELP_WINDOW, ABOUT_WINDOW):  # task bars that honour only the state list them otherwise
            assert desk.off_task_bar(opened) in (True, None), f"{title} is on the task bar"
        desk.close(opened)
        desk.window_gone(title)
    desk.minimize()
    desk.choose("Show Main Window")
    expect_restored(desk, main, "Show Main Window")

    if isinstance(desk, desktops.Sway):
        # A host that offers an activation token: the window comes back activated with it.
        desk.minimize()
        desk.restore_with_token("latchsweep-restore-token")
        expect_restored(desk, main, "restore with a token")
        wait_until(lambda: re.search(r'xdg_activation_v1@\d+\.activate\("latchsweep-restore-token"', program.log()),
                   message="the host's token was not used to activate the window")

    # The tray host quits while the window is hidden: the window comes back to the task bar,
    # minimised; a tray host that starts again gets the icon, which restores the window.
    desk.minimize()
    desk.stop_tray()
    wait_until(lambda: desk.minimised_on_task_bar(main), message="the window did not come back to the task bar")
    assert program.process_alive()
    desk.start_tray()
    wait_until(desk.icon_there, timeout=10, message="the icon did not come back")
    desk.restore_from_icon()
    expect_restored(desk, main, "restore after the tray came back")

    desk.choose("File/Exit")
    assert program.wait(timeout=5) == 0, program.log()
    desk.window_gone(MAIN_WINDOW)
    assert desktop.holds_for(lambda: not desk.icon_there(), 0.5), "an icon stayed in the notification area"
    assert desk.popups() <= desktop_own, "a menu outlived the program"


def test_every_command_of_the_menu_bar_from_the_keyboard(keyboard_desk, launch):
    """Alt, the arrow keys and Enter reach every command of the bar, Minimize on its second row
    included, each key sequence worked out from the core's menu bar."""
    desk, data = keyboard_desk, desktop.core_data()
    opens = {"OpenGameDirectory": "Form2", "OpenAutoDelete": "Form3", "OpenHelp": "frmHelp", "OpenAbout": "frmAbout"}
    commands = desktop.menu_bar_commands()
    assert sorted(item["command"] for _, item in commands) == sorted([*opens, "Minimize", "Exit"])
    options = desk.launch_options()
    if options.get("platform") == "wayland":
        options["platform"] = None  # a Wayland session without an X display: Qt's choice and the program's check
    program = launch(**options)
    main = desk.main_window()
    wait_until(desk.icon_there, timeout=10, message="no icon in the notification area")
    for path, item in sorted(commands, key=lambda command: command[1]["command"] == "Exit"):
        desk.focus(main)
        desk.keys(desktop.menu_bar_keys(path))
        if item["command"] == "Minimize":
            wait_until(lambda: desk.hidden(main), message="Minimize from the keyboard left the window shown")
            desk.restore_from_icon()
            expect_restored(desk, main, "restore after Minimize from the keyboard")
        elif item["command"] == "Exit":
            assert program.wait(timeout=5) == 0, program.log()
        else:
            title = data["captions"][opens[item["command"]]]
            opened = desk.window(title)
            desk.close(opened)
            desk.window_gone(title)
