"""How the program meets the desktop around its windows: its command line, a start without a
display, the wrapped menu bar with Minimize on it, and the windows the task bar leaves out."""

from __future__ import annotations

import itertools
import os
import subprocess
from pathlib import Path

import pytest

import desktop
from desktop import ABOUT_WINDOW, HELP_WINDOW, MAIN_WINDOW


def test_command_line_and_no_display(executable):
    absent = next(f":{n}" for n in itertools.count(4000) if not Path(f"/tmp/.X11-unix/X{n}").exists())
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    for args, status, out, err in [
            (["--version"], 0, "Latchsweep 1.00\n", ""),
            (["--help"], 0, "Usage: latchsweep [OPTION]...\n", ""),
            ([], 1, "", "latchsweep: no display to open: DISPLAY is not set\n"),
            (["-display", absent], 1, "", f"latchsweep: cannot open display '{absent}'\n"),
            (["--frobnicate"], 2, "", "latchsweep: unrecognized option '--frobnicate'\n"
                                      "Try 'latchsweep --help' for more information.\n")]:
        done = subprocess.run([str(executable), *args], capture_output=True, text=True, timeout=20, env=env,
                              stdin=subprocess.DEVNULL)
        assert (done.returncode, done.stderr) == (status, err), args
        assert done.stdout == out or (args == ["--help"] and done.stdout.startswith(out)), args


def window_states(window: int) -> str:
    return desktop._run("xprop", "-id", str(window), "_NET_WM_STATE", check=False)


# Window managers read the states a window carries when it is mapped; xfwm4 also minimises a
# window's transients with it.
@pytest.mark.parametrize("manager", [["openbox", "--sm-disable"], ["xfwm4", "--compositor=off"]], ids=lambda m: m[0])
def test_minimize_on_the_bar_and_the_task_bar_hints(launch, manager):
    process = subprocess.Popen(manager, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        desktop.wait_until(lambda: "WINDOW" in desktop._run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
                           timeout=10, message=f"{manager[0]} does not start")
        launch()
        main = desktop.window_by_name(MAIN_WINDOW)
        where = desktop.geometry(main)
        bar = where.height - round(desktop.MAIN_CLIENT_TWIPS[1] / desktop.TWIPS_PER_PIXEL)
        desktop.screenshot(f"menu_bar_wrapped_{manager[0]}",
                           region=desktop.Geometry(where.x, where.y, where.width, bar))
        for path, title in (("Help > Help", HELP_WINDOW), ("Help > About", ABOUT_WINDOW)):
            window = desktop.open_window(main, path, title)
            assert "_NET_WM_STATE_SKIP_TASKBAR" in window_states(window), title
        assert "_NET_WM_STATE_SKIP_TASKBAR" not in window_states(main), "the main window keeps its task-bar button"

        # Minimize, clicked where it stands on the bar's second row, hides the main window alone.
        desktop.minimize()
        assert desktop.holds_for(lambda: desktop.windows_named(HELP_WINDOW) and desktop.windows_named(ABOUT_WINDOW),
                                 1.0), "Minimize took the other windows with it"
    finally:
        process.terminate()
        process.wait(timeout=10)
