"""Drives the real program on an X display the way a person does.

Everything here acts through the X server only: real XTEST input (xdotool without
--window, so the toolkit sees ordinary pointer and key events), window titles and
geometry read back with xwininfo/xdotool, and screenshots with ImageMagick's import.
The display is the one in os.environ["DISPLAY"]; the session fixture in conftest.py
sets it before any test runs.

Stable API (other suites rely on it; extend, do not change):

  Waiting
    wait_until(predicate, timeout=5.0, interval=0.05, message="") -> value
        Polls until predicate() returns something truthy and returns it; raises
        WaitTimeout (an AssertionError) after `timeout` seconds.
    holds_for(predicate, duration, interval=0.05) -> bool
        True when predicate() stays truthy for the whole duration (for "nothing
        happens" checks; it returns early with False at the first failure).

  Windows (ids are X window ids as int)
    Geometry(x, y, width, height)              absolute, in pixels; .center, .contains(x, y)
    windows_named(name) -> [int]               viewable, non-override-redirect windows
                                               whose title is exactly `name`
    window_by_name(name, timeout=5.0) -> int   waits for exactly one such window
    wait_window_gone(name, timeout=5.0)
    geometry(window) -> Geometry               `window` is an id or a title
    popups() -> [int]                          viewable override-redirect windows
                                               (menus, tool tips, pop-up lists), newest last
    wait_popup(before, timeout=5.0) -> int     a popup that was not in the list `before`
    focused_window() -> int
    screen_size() -> (width, height)

  Input (xdotool(*args) -> str runs xdotool itself; never pass it --window)
    pointer() -> (x, y)
    move_to(x, y)
    click_at(x, y, button=1)                   absolute screen coordinates
    double_click_at(x, y, button=1)
    press_at(x, y, button=1) / release(button=1)
    click_in_window(window, x, y, button=1)    client coordinates of a window (id or title)
    key(*keys)                                 xdotool key names: "space", "Return", "alt+F4"
    type_text(text)
    click_menu_item(popup, index, count)       the index-th of `count` equal-height items
    choose_menu(window, path)                  a command of the main window's menu bar by
                                               mouse, path as in MAIN_MENU: "File > Exit",
                                               "Settings > Settings > Auto Delete", "Minimize"
    menu_bar_titles(window) -> [Geometry]      the titles of a window's menu bar, found on
                                               screen, left to right (the extension button
                                               "»" included when shown)
    main_button_center(window, caption)        "Turn ON" / "Turn OFF" of the main window, from
                                               its layout in twips (MAIN_BUTTONS_TWIPS)
    click_main_button(window, caption)
    close_window(window)                       the close request a window manager sends when
                                               the title-bar close button is pressed
                                               (WM_DELETE_WINDOW)

  Screen and tray
    screenshot(name) -> path                   the whole screen, kept under
                                               $LATCHSWEEP_SCREENSHOTS/<name>.png
    region_pixels(Geometry) -> bytes           raw RGB of a screen region (to compare frames)
    tray_panel() -> int | None                 the tray host's "panel" window
    tray_icons() -> [Geometry]                 icons embedded in the tray host's "panel"
    tray_adapter_built(executable) -> bool     whether the program links the toolkit's tray
                                               icon at all (a stub adapter does not)

  The program
    Program(executable, workdir, log_dir, wrapper=None)
                                               see the class; the `launch` fixture makes them
      .start(), .pid, .process_alive(), .exit_code(timeout=0) -> int | None,
      .wait_exit(timeout=5.0) -> int, .send_signal(sig), .kill(), .path(name), .log()
    process_alive(program) -> bool
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import re
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterable, TypeVar

T = TypeVar("T")


# ---------------------------------------------------------------------------------------
# Waiting


class WaitTimeout(AssertionError):
    pass


def wait_until(predicate: Callable[[], T], timeout: float = 5.0, interval: float = 0.05,
               message: str = "") -> T:
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise WaitTimeout(message or f"condition not met within {timeout:.1f} s")
        time.sleep(interval)


def holds_for(predicate: Callable[[], object], duration: float, interval: float = 0.05) -> bool:
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not predicate():
            return False
        time.sleep(interval)
    return bool(predicate())


# ---------------------------------------------------------------------------------------
# Running the X tools


def _run(*args: str, check: bool = True) -> str:
    done = subprocess.run(args, capture_output=True, text=True, timeout=20)
    if check and done.returncode != 0:
        raise RuntimeError(f"{' '.join(args)} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout


def xdotool(*args: str) -> str:
    return _run("xdotool", *args)


# ---------------------------------------------------------------------------------------
# Windows


@dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int

    @property
    def center(self) -> tuple[int, int]:
        return self.x + self.width // 2, self.y + self.height // 2

    def contains(self, x: int, y: int) -> bool:
        return self.x <= x < self.x + self.width and self.y <= y < self.y + self.height


@dataclass(frozen=True)
class _WindowInfo:
    geometry: Geometry
    viewable: bool
    override_redirect: bool


def _info(window: int) -> _WindowInfo | None:
    done = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True, timeout=10)
    if done.returncode != 0:
        return None  # gone meanwhile
    fields = {}
    for line in done.stdout.splitlines():
        key, sep, value = line.strip().partition(":")
        if sep:
            fields[key.strip()] = value.strip()
    try:
        geometry = Geometry(int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                            int(fields["Width"]), int(fields["Height"]))
    except (KeyError, ValueError):
        return None
    return _WindowInfo(geometry, fields.get("Map State") == "IsViewable",
                       fields.get("Override Redirect State") == "yes")


def _ere_escape(text: str) -> str:
    return re.sub(r"([.\[\](){}*+?|^$\\])", r"\\\1", text)


def _search(name: str) -> list[int]:
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{_ere_escape(name)}$"],
                          capture_output=True, text=True, timeout=10)
    ids = [int(line) for line in done.stdout.split()]
    # xdotool matches by regular expression; keep exact titles only.
    return [w for w in ids if _window_name(w) == name]


def _window_name(window: int) -> str | None:
    done = subprocess.run(["xdotool", "getwindowname", str(window)], capture_output=True, text=True,
                          timeout=10)
    return done.stdout.rstrip("\n") if done.returncode == 0 else None


def windows_named(name: str) -> list[int]:
    found = []
    for window in _search(name):
        info = _info(window)
        if info and info.viewable and not info.override_redirect:
            found.append(window)
    return found


def window_by_name(name: str, timeout: float = 5.0) -> int:
    windows = wait_until(lambda: windows_named(name), timeout, message=f"no window named {name!r}")
    if len(windows) != 1:
        raise AssertionError(f"{len(windows)} windows named {name!r}, expected one")
    return windows[0]


def wait_window_gone(name: str, timeout: float = 5.0) -> None:
    wait_until(lambda: not windows_named(name), timeout, message=f"window {name!r} still shown")


def _resolve(window: int | str) -> int:
    return window_by_name(window) if isinstance(window, str) else window


def geometry(window: int | str) -> Geometry:
    info = _info(_resolve(window))
    if info is None:
        raise AssertionError(f"window {window!r} does not exist")
    return info.geometry


def _top_level() -> list[int]:
    out = _run("xwininfo", "-root", "-children")
    return [int(m.group(1), 16) for m in re.finditer(r"^\s+(0x[0-9a-f]+)\s", out, re.MULTILINE)]


def popups() -> list[int]:
    found = []
    for window in _top_level():
        info = _info(window)
        if info and info.viewable and info.override_redirect and info.geometry.width > 1 \
                and info.geometry.height > 1:
            found.append(window)
    return found


def wait_popup(before: Iterable[int], timeout: float = 5.0) -> int:
    known = set(before)
    fresh = wait_until(lambda: [w for w in popups() if w not in known], timeout,
                       message="no pop-up appeared")
    return fresh[-1]


def focused_window() -> int:
    return int(xdotool("getwindowfocus", "-f").split()[0])


def screen_size() -> tuple[int, int]:
    width, height = xdotool("getdisplaygeometry").split()
    return int(width), int(height)


# ---------------------------------------------------------------------------------------
# Input: XTEST events, as from a real mouse and keyboard


def pointer() -> tuple[int, int]:
    fields = dict(item.split(":", 1) for item in xdotool("getmouselocation").split() if ":" in item)
    return int(fields["x"]), int(fields["y"])


def move_to(x: int, y: int) -> None:
    # --sync waits for the pointer to arrive; a pointer already there would never "arrive".
    if pointer() != (x, y):
        xdotool("mousemove", "--sync", str(x), str(y))


def click_at(x: int, y: int, button: int = 1) -> None:
    move_to(x, y)
    xdotool("click", str(button))


def double_click_at(x: int, y: int, button: int = 1) -> None:
    move_to(x, y)
    xdotool("click", "--repeat", "2", "--delay", "80", str(button))


def press_at(x: int, y: int, button: int = 1) -> None:
    move_to(x, y)
    xdotool("mousedown", str(button))


def release(button: int = 1) -> None:
    xdotool("mouseup", str(button))


def click_in_window(window: int | str, x: int, y: int, button: int = 1) -> None:
    where = geometry(window)
    click_at(where.x + x, where.y + y, button)


def key(*keys: str) -> None:
    xdotool("key", "--delay", "40", *keys)


def type_text(text: str) -> None:
    xdotool("type", "--delay", "30", text)


def click_menu_item(popup: int, index: int, count: int) -> None:
    """Clicks the index-th (from 0) of `count` items of equal height in a pop-up menu."""
    where = geometry(popup)
    margin = 2  # the menu's frame
    step = (where.height - 2 * margin) / count
    click_at(where.x + where.width // 2, int(where.y + margin + step * (index + 0.5)))


def menu_bar_titles(window: int | str, bar_height: int = 0) -> list[Geometry]:
    """The titles of a window's menu bar as they stand on screen, left to right.

    The bar is the first band of the window's client area whose rows are lighter than the
    text; a title is a run of columns holding dark (text) pixels, runs closer than 6 pixels
    belonging to one title.
    """
    where = geometry(window)
    height = bar_height or 22
    width, rows, pixels = _grab(Geometry(where.x, where.y, where.width, height))
    dark = [False] * width
    for y in range(rows):
        for x in range(width):
            offset = (y * width + x) * 3
            r, g, b = pixels[offset], pixels[offset + 1], pixels[offset + 2]
            if r + g + b < 3 * 110:
                dark[x] = True
    titles: list[Geometry] = []
    start = last = None
    for x, is_dark in enumerate(dark + [False] * 7):
        if is_dark:
            if start is None:
                start = x
            last = x
        elif start is not None and last is not None and x - last >= 6:
            titles.append(Geometry(where.x + start, where.y, last - start + 1, height))
            start = last = None
    return titles


# The main window's menu bar: title index on the bar, then (item index, item count) for each
# level of drop-down menu. Minimize is a command on the bar itself.
MAIN_MENU = {
    "File > Exit": (0, [(0, 1)]),
    "Settings > Settings > MM2 Directory": (1, [(0, 1), (0, 2)]),
    "Settings > Settings > Auto Delete": (1, [(0, 1), (1, 2)]),
    "Help > Help": (2, [(0, 2)]),
    "Help > About": (2, [(1, 2)]),
    "Minimize": (3, []),
}


def choose_menu(window: int | str, path: str) -> None:
    """Chooses a command of the main window's menu bar with the mouse, as a person does.

    The wide Minimize entry does not fit the bar: the toolkit puts it behind the extension
    button "»" at the bar's right end, which is clicked first.
    """
    title_index, levels = MAIN_MENU[path]
    titles = menu_bar_titles(window)
    if len(titles) < 4:
        raise AssertionError(f"menu bar shows {len(titles)} titles, expected File, Settings, Help and Minimize")
    if title_index == 3 and titles[3].width <= 12:  # the extension button
        before = popups()
        click_at(*titles[3].center)
        click_menu_item(wait_popup(before), 0, 1)
        return
    before = popups()
    click_at(*titles[title_index].center)
    for index, count in levels:
        menu = wait_popup(before)
        before = popups()
        click_menu_item(menu, index, count)


# The main window's buttons, from its layout in twips: the frame at (120, 0), the buttons at
# (120, 240) and (2280, 240) inside it, each 2055 x 375; the client area is 4680 x 990 twips
# below the menu bar.
MAIN_CLIENT_TWIPS = (4680, 990)
MAIN_BUTTONS_TWIPS = {"Turn ON": (120 + 120, 240, 2055, 375), "Turn OFF": (120 + 2280, 240, 2055, 375)}


def main_button_center(window: int | str, caption: str) -> tuple[int, int]:
    """Screen position of the centre of "Turn ON" or "Turn OFF"."""
    where = geometry(window)
    twips_per_pixel = MAIN_CLIENT_TWIPS[0] / where.width
    client_top = where.y + where.height - round(MAIN_CLIENT_TWIPS[1] / twips_per_pixel)
    left, top, width, height = MAIN_BUTTONS_TWIPS[caption]
    return (where.x + round((left + width / 2) / twips_per_pixel),
            client_top + round((top + height / 2) / twips_per_pixel))


def click_main_button(window: int | str, caption: str) -> None:
    click_at(*main_button_center(window, caption))


# The close request of a window manager: a WM_PROTOCOLS client message carrying
# WM_DELETE_WINDOW, exactly what a window manager sends when the close button is pressed.
class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def close_window(window: int | str) -> None:
    target = _resolve(window)
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    if not display:
        raise RuntimeError("cannot open the display")
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = target
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        x11.XSendEvent(display, target, 0, 0, ctypes.byref(event))
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


# ---------------------------------------------------------------------------------------
# Screen and tray


def screenshot(name: str) -> Path:
    directory = Path(os.environ.get("LATCHSWEEP_SCREENSHOTS")
                     or Path(tempfile.gettempdir()) / "latchsweep-screenshots")
    directory.mkdir(parents=True, exist_ok=True)
    path = directory / f"{re.sub(r'[^A-Za-z0-9_.-]+', '_', name)}.png"
    _run("import", "-window", "root", str(path))
    return path


def _grab(region: Geometry) -> tuple[int, int, bytes]:
    raw = subprocess.run(["import", "-window", "root", "-crop",
                          f"{region.width}x{region.height}+{region.x}+{region.y}", "+repage",
                          "-depth", "8", "ppm:-"], capture_output=True, timeout=20, check=True).stdout
    # Binary PPM: "P6" width height maxval, each followed by one white-space byte.
    fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", raw)
    if not fields:
        raise RuntimeError("unexpected screenshot format")
    width, height = int(fields.group(1)), int(fields.group(2))
    return width, height, raw[fields.end():fields.end() + width * height * 3]


def region_pixels(region: Geometry) -> bytes:
    return _grab(region)[2]


def tray_panel() -> int | None:
    """The tray host's "panel" window, or None while no tray host runs."""
    done = subprocess.run(["xdotool", "search", "--name", "^panel$"], capture_output=True, text=True,
                          timeout=10)
    ids = [int(line) for line in done.stdout.split()]
    return ids[0] if ids else None


def tray_icons() -> list[Geometry]:
    panel = tray_panel()
    if panel is None:
        return []
    out = _run("xwininfo", "-children", "-id", str(panel), check=False)
    icons = []
    for match in re.finditer(r"^\s+(0x[0-9a-f]+)\s.*?\s(\d+)x(\d+)[+-]", out, re.MULTILINE):
        window, width, height = int(match.group(1), 16), int(match.group(2)), int(match.group(3))
        if width <= 1 and height <= 1:
            continue
        info = _info(window)
        if info and info.viewable:
            icons.append(info.geometry)
    return icons


def tray_adapter_built(executable: str | os.PathLike) -> bool:
    symbols = _run("nm", "-D", "-C", "--undefined-only", str(executable), check=False)
    return "QSystemTrayIcon" in symbols


# ---------------------------------------------------------------------------------------
# The program


class Program:
    """The real program, started in its own working directory on the current display.

    The working directory is where the program looks for Directory.txt, AutoDelete.txt and
    help.txt; its standard output and error go to files in `log_dir`, outside it.
    """

    def __init__(self, executable: str | os.PathLike, workdir: Path, log_dir: Path,
                 wrapper: list[str] | None = None):
        self.executable = str(executable)
        self.workdir = Path(workdir)
        self.log_dir = Path(log_dir)
        self.wrapper = list(wrapper or [])  # a command that execs the program (same pid)
        self._process: subprocess.Popen | None = None

    def start(self) -> "Program":
        env = dict(os.environ)
        # The XEmbed tray of the X server, not a StatusNotifierItem host of some session bus.
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env["QT_QPA_PLATFORM"] = "xcb"
        self.log_dir.mkdir(parents=True, exist_ok=True)
        with open(self.log_dir / "stdout.txt", "wb") as out, open(self.log_dir / "stderr.txt", "wb") as err:
            self._process = subprocess.Popen([*self.wrapper, self.executable], cwd=self.workdir, env=env, stdout=out,
                                             stderr=err, stdin=subprocess.DEVNULL)
        return self

    @property
    def pid(self) -> int:
        assert self._process is not None, "program not started"
        return self._process.pid

    def process_alive(self) -> bool:
        return self._process is not None and self._process.poll() is None

    def exit_code(self, timeout: float = 0) -> int | None:
        """The exit status (negative: killed by that signal), or None while it runs."""
        assert self._process is not None, "program not started"
        try:
            return self._process.wait(timeout=timeout) if timeout > 0 else self._process.poll()
        except subprocess.TimeoutExpired:
            return None

    def wait_exit(self, timeout: float = 5.0) -> int:
        code = self.exit_code(timeout)
        if code is None:
            raise WaitTimeout(f"program still running after {timeout:.1f} s")
        return code

    def send_signal(self, sig: int = signal.SIGTERM) -> None:
        assert self._process is not None, "program not started"
        self._process.send_signal(sig)

    def kill(self) -> None:
        if self.process_alive():
            self._process.kill()
            self._process.wait(timeout=10)

    def path(self, name: str) -> Path:
        return self.workdir / name

    def log(self) -> str:
        parts = []
        for name in ("stdout.txt", "stderr.txt"):
            file = self.log_dir / name
            if file.exists():
                parts.append(file.read_text(errors="replace"))
        return "".join(parts)


def process_alive(program: Program) -> bool:
    return program.process_alive()
