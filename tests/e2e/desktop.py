"""Drives the real program on the X display $DISPLAY the way a person does: real XTEST input
(xdotool, never --window), windows found and measured with xdotool and xwininfo, the screen read
with ImageMagick's import. Windows are X ids; where a window is asked for, its title will do too."""

from __future__ import annotations

import ctypes
import ctypes.util
import functools
import json
import os
import re
import subprocess
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Iterable

CRLF = "\r\n"
TWIPS_PER_PIXEL = 15  # Xvfb's 96 dpi


@functools.cache
def core_data() -> dict:
    """The core's data as the program builds from it: each window's layout ("windows"), each
    window's caption by its name ("captions": "Form2" ...), the help window's and the about box's
    fixed client areas ("clientAreas"), the about box's etched lines ("aboutLines"), each settings
    window's confirmation and its title ("saved"), the menu bar ("mainMenuBar": name, caption,
    command and children of each entry) and the pop-up ("popupMenu")."""
    return json.loads(subprocess.run([os.environ["LATCHSWEEP_CORE_DATA"]], capture_output=True, text=True,
                                     timeout=20, check=True).stdout)


def layout(window: str) -> dict:
    """A window's layout by its name: "caption", "client" (width, height) and "controls"."""
    return next(found for found in core_data()["windows"] if found["name"] == window)


def control_twips(window: str, control: str) -> tuple[int, int, int, int]:
    """A control's rectangle in its window's client area, in twips: a frame's children move by the frame's place."""
    controls = {found["name"]: found for found in layout(window)["controls"]}
    left, top, width, height = controls[control]["rect"]
    if parent := controls[control]["parent"]:
        left, top = left + controls[parent]["rect"][0], top + controls[parent]["rect"][1]
    return left, top, width, height


def px(twips: int) -> int:
    return round(twips / TWIPS_PER_PIXEL)


MAIN_WINDOW, DIRECTORY_WINDOW, DELAY_WINDOW, HELP_WINDOW, ABOUT_WINDOW = (
    core_data()["captions"][name] for name in ("Form1", "Form2", "Form3", "frmHelp", "frmAbout"))
MAIN_WIDTH = px(layout("Form1")["client"][0])  # the main window's width on screen


def menu_bar_keys(path: list[int]) -> list[str]:
    """The keys that choose the entry at `path` (an index per level) of the main window's bar:
    Alt selects its first title, Right goes along it, Down opens a title's menu on its first item
    and moves down it, Right opens a submenu, Return chooses."""
    keys = ["alt", *["Right"] * path[0]]
    for depth, index in enumerate(path[1:]):
        keys += ["Down" if depth == 0 else "Right", *["Down"] * index]
    return keys + ["Return"]


def menu_bar_commands(items: list[dict] | None = None, path: tuple = ()) -> list[tuple[list[int], dict]]:
    """Every command of the main window's bar, with its path, in the bar's order."""
    found = []
    for index, item in enumerate(core_data()["mainMenuBar"] if items is None else items):
        if item["children"]:
            found += menu_bar_commands(item["children"], (*path, index))
        else:
            found.append(([*path, index], item))
    return found


class WaitTimeout(AssertionError):
    pass


def wait_until(predicate: Callable, timeout: float = 5.0, interval: float = 0.05, message: str = ""):
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


def gone_within(path: Path, timeout: float, since: float | None = None) -> float:
    """Seconds from `since` (time.monotonic(), default now) until `path` is gone."""
    start = time.monotonic() if since is None else since
    wait_until(lambda: not path.exists(), timeout, interval=0.01,
               message=f"{path} still there after {timeout:.1f} s")
    return time.monotonic() - start


def _run(*args: str, check: bool = True) -> str:
    done = subprocess.run(args, capture_output=True, text=True, timeout=20)
    if check and done.returncode != 0:
        raise RuntimeError(f"{' '.join(args)} failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout


def xdotool(*args: str) -> str:
    return _run("xdotool", *args)


@dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int

    @property
    def center(self) -> tuple[int, int]:
        return self.x + self.width // 2, self.y + self.height // 2

def _info(window: int) -> tuple[Geometry, bool, bool] | None:
    """(geometry, viewable, override-redirect), or None for a window gone meanwhile."""
    lines = _run("xwininfo", "-id", str(window), check=False).splitlines()
    fields = {name.strip(): value.strip() for name, _, value in (line.partition(":") for line in lines)}
    try:
        where = Geometry(int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                         int(fields["Width"]), int(fields["Height"]))
    except (KeyError, ValueError):
        return None
    return where, fields.get("Map State") == "IsViewable", fields.get("Override Redirect State") == "yes"


def windows_named(name: str) -> list[int]:
    """Viewable ordinary windows whose title is exactly `name`."""
    pattern = "^" + re.sub(r"([.\[\](){}*+?|^$\\])", r"\\\1", name) + "$"
    found = []
    for window in map(int, _run("xdotool", "search", "--onlyvisible", "--name", pattern, check=False).split()):
        info = _info(window)
        if info and info[1] and not info[2] and \
                _run("xdotool", "getwindowname", str(window), check=False).rstrip("\n") == name:
            found.append(window)
    return found


def window_by_name(name: str, timeout: float = 5.0) -> int:
    windows = wait_until(lambda: windows_named(name), timeout, message=f"no window named {name!r}")
    assert len(windows) == 1, f"{len(windows)} windows named {name!r}, expected one"
    return windows[0]


def wait_window_gone(name: str, timeout: float = 5.0) -> None:
    wait_until(lambda: not windows_named(name), timeout, message=f"window {name!r} still shown")


def geometry(window: int | str) -> Geometry:
    info = _info(window_by_name(window) if isinstance(window, str) else window)
    assert info is not None, f"window {window!r} does not exist"
    return info[0]


def popups() -> list[int]:
    """Viewable override-redirect windows (menus, tool tips) on the screen, newest last. Window
    managers keep helper windows of that kind off screen (xfwm4 at -1000, -1000)."""
    out = _run("xwininfo", "-root", "-children")
    found = []
    for match in re.finditer(r"^\s+(0x[0-9a-f]+)\s", out, re.MULTILINE):
        info = _info(int(match.group(1), 16))
        if (info and info[1] and info[2] and info[0].width > 1 and info[0].height > 1
                and info[0].x + info[0].width > 0 and info[0].y + info[0].height > 0):
            found.append(int(match.group(1), 16))
    return found


def wait_popup(before: Iterable[int], timeout: float = 5.0) -> int:
    known = set(before)
    return wait_until(lambda: [w for w in popups() if w not in known], timeout,
                      message="no pop-up appeared")[-1]


def move_to(x: int, y: int) -> None:
    fields = dict(item.split(":", 1) for item in xdotool("getmouselocation").split() if ":" in item)
    # --sync waits for the pointer to arrive; a pointer already there would never "arrive".
    if (int(fields["x"]), int(fields["y"])) != (x, y):
        xdotool("mousemove", "--sync", str(x), str(y))


def click_at(x: int, y: int, button: int = 1) -> None:
    move_to(x, y)
    xdotool("click", str(button))


def double_click_at(x: int, y: int, button: int = 1) -> None:
    move_to(x, y)
    xdotool("click", "--repeat", "2", "--delay", "80", str(button))


def click_control(window: int | str, layout_name: str, control: str) -> None:
    """Clicks the centre of a control of the layout `layout_name` ("Form2" ...) in a window's
    client area (on a bare X server the whole window)."""
    left, top, width, height = control_twips(layout_name, control)
    where = geometry(window)
    click_at(where.x + round((left + width // 2) / TWIPS_PER_PIXEL),
             where.y + round((top + height // 2) / TWIPS_PER_PIXEL))


def key(*keys: str) -> None:
    xdotool("key", "--delay", "40", *keys)


def click_menu_item(popup: int, index: int, count: int) -> None:
    """Clicks the index-th (from 0) of `count` items of equal height in a pop-up menu."""
    where, frame = geometry(popup), 2
    click_at(where.x + where.width // 2, int(where.y + frame + (where.height - 2 * frame) / count * (index + 0.5)))


def choose_popup_item(popup: int, index: int, count: int) -> int | None:
    """Clicks an item of a pop-up menu; returns the submenu it opens, if one shows up."""
    before = popups()
    click_menu_item(popup, index, count)
    try:
        return wait_popup(before, timeout=1.5)
    except WaitTimeout:
        return None


def menu_bar_titles(window: int | str, top: int = 0, height: int = 22) -> list[Geometry]:
    """The titles of a window's menu bar on screen, left to right: runs of columns of the bar's
    `height` rows from `top` down holding dark (text) pixels, runs closer than 6 pixels being one title."""
    where = geometry(window)
    width, rows, pixels = _grab(Geometry(where.x, where.y + top, where.width, height))
    dark = "".join("#" if any(sum(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) < 3 * 110 for y in range(rows))
                   else " " for x in range(width))
    return [Geometry(where.x + m.start(), where.y + top, m.end() - m.start(), height)
            for m in re.finditer("#(?: {0,5}#)*", dark)]


def choose_menu(window: int | str, command: str, scale: float = 1) -> None:
    """Chooses a command ("OpenHelp" ...) of the main window's menu bar with the mouse, on a desktop
    scaled by `scale`. The bar wraps: the wide Minimize entry stands alone on its second row."""
    items, levels = core_data()["mainMenuBar"], []
    for index in next(path for path, item in menu_bar_commands() if item["command"] == command):
        levels.append((index, len(items)))  # (item index, item count) per level, the bar's first
        items = items[index]["children"]
    title_index, levels = levels[0][0], levels[1:]
    row = (geometry(window).height - round(layout("Form1")["client"][1] * scale / TWIPS_PER_PIXEL)) // 2
    # A window just shown may still be drawn or placed by its window manager.
    titles = wait_until(lambda: (lambda found: found if len(found) == 3 else None)(menu_bar_titles(window, height=row)),
                        message="the menu bar's first row does not show File, Settings and Help")
    if title_index == 3:
        titles += menu_bar_titles(window, top=row, height=row)
        assert len(titles) == 4, f"the menu bar's second row shows {len(titles) - 3} entries, expected Minimize"
    before = popups()
    click_at(*titles[title_index].center)
    for index, count in levels:
        menu = wait_popup(before)
        before = popups()
        click_menu_item(menu, index, count)


def open_window(main: int | str, command: str, title: str, scale: float = 1) -> int:
    choose_menu(main, command, scale)
    return window_by_name(title)


def type_delay(main: int | str, text: str) -> int:
    """Opens the auto-delete window and types `text` over its delay; returns the window."""
    window = open_window(main, "OpenAutoDelete", DELAY_WINDOW)
    click_control(window, "Form3", "text1")
    key("ctrl+a")
    xdotool("type", "--delay", "30", text)
    return window


def minimize() -> None:
    choose_menu(MAIN_WINDOW, "Minimize")
    wait_window_gone(MAIN_WINDOW)


def click_main_button(window: int | str, control: str) -> None:
    """Clicks Command1 (Turn ON) or Command2 (Turn OFF) of the main window, below its menu bar."""
    where = geometry(window)
    client_width, client_height = layout("Form1")["client"]
    scale = client_width / where.width
    client_top = where.y + where.height - round(client_height / scale)
    left, top, width, height = control_twips("Form1", control)
    click_at(where.x + round((left + width / 2) / scale), client_top + round((top + height / 2) / scale))


def answer_box(title: str, already: int = 0) -> None:
    """Waits for a message box titled `title` (beside `already` windows of that title), keeps
    a screenshot of it and presses Enter."""
    wait_until(lambda: len(windows_named(title)) > already, message=f"no message box titled {title!r}")
    screenshot(f"box_{title}")
    key("Return")
    wait_until(lambda: len(windows_named(title)) == already, message=f"the box {title!r} stays")


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def close_window(window: int) -> None:
    """The close request a window manager sends for the title bar's close button
    (WM_PROTOCOLS carrying WM_DELETE_WINDOW)."""
    target = ctypes.c_ulong(window)
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    assert display.value, "cannot open the display"
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = target
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, target, 0, ctypes.c_long(0), ctypes.byref(event))
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


def _import(region: Geometry | None, output: str) -> bytes:
    crop = ["-crop", f"{region.width}x{region.height}+{region.x}+{region.y}", "+repage"] if region else []
    return subprocess.run(["import", "-window", "root", *crop, "-depth", "8", output], capture_output=True,
                          timeout=20, check=True).stdout


def screenshot(name: str, region: Geometry | None = None) -> Path:
    """The whole screen, or one region of it, kept as $LATCHSWEEP_SCREENSHOTS/<name>.png."""
    directory = Path(os.environ.get("LATCHSWEEP_SCREENSHOTS") or Path(tempfile.gettempdir()) / "latchsweep-screenshots")
    directory.mkdir(parents=True, exist_ok=True)
    path = directory / f"{re.sub(r'[^A-Za-z0-9_.-]+', '_', name)}.png"
    _import(region, str(path))
    return path


def _grab(region: Geometry) -> tuple[int, int, bytes]:
    raw = _import(region, "ppm:-")
    fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", raw)
    assert fields, "unexpected screenshot format"
    width, height = int(fields.group(1)), int(fields.group(2))
    return width, height, raw[fields.end():fields.end() + width * height * 3]


def region_pixels(region: Geometry) -> bytes:  # raw RGB
    return _grab(region)[2]


def tray_panel() -> int | None:  # the tray host's window, None while no tray host runs
    ids = _run("xdotool", "search", "--name", "^panel$", check=False).split()
    return int(ids[0]) if ids else None


def tray_icons() -> list[Geometry]:
    panel = tray_panel()
    out = _run("xwininfo", "-children", "-id", str(panel), check=False) if panel else ""
    windows = [int(m.group(1), 16) for m in re.finditer(r"^\s+(0x[0-9a-f]+)\s.*?\s(\d+)x(\d+)[+-]", out, re.MULTILINE)
               if int(m.group(2)) > 1 or int(m.group(3)) > 1]
    return [info[0] for info in map(_info, windows) if info and info[1]]


def docked_icon(timeout: float = 10) -> Geometry:
    """The program's one icon in the tray host's panel."""
    return wait_until(lambda: (lambda found: found if len(found) == 1 else None)(tray_icons()),
                      timeout, message=f"the tray does not hold exactly one icon: {tray_icons()}")[0]


def expect_no_trace() -> None:
    """After the program ended: no main window, no icon in the tray, no menu left over."""
    wait_window_gone(MAIN_WINDOW)
    wait_until(lambda: not tray_icons(), message="an icon stayed in the tray")
    assert not popups(), "a menu outlived the program"


class Program(subprocess.Popen):
    """The real program in its own working directory (where it reads Directory.txt,
    AutoDelete.txt and help.txt), its output in files of `log_dir`. `wrapper` is a command
    that execs the program under the same pid."""

    def __init__(self, executable: str | os.PathLike, workdir: Path, log_dir: Path, wrapper: list[str] | None = None,
                 bus: str | None = None, platform: str | None = "xcb", environment: dict | None = None):
        self.workdir, self.log_dir = Path(workdir), Path(log_dir)
        env = dict(os.environ, QT_QPA_PLATFORM=platform or "")
        if not platform:  # Qt's own choice
            env.pop("QT_QPA_PLATFORM")
        # The XEmbed tray of the X server, unless a session bus with a StatusNotifierItem host is given.
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        if bus:
            env["DBUS_SESSION_BUS_ADDRESS"] = bus
        for name, value in (environment or {}).items():  # None takes a variable away
            env.pop(name, None) if value is None else env.__setitem__(name, value)
        self.log_dir.mkdir(parents=True, exist_ok=True)
        with open(self.log_dir / "stdout.txt", "wb") as out, open(self.log_dir / "stderr.txt", "wb") as err:
            super().__init__([*(wrapper or []), str(executable)], cwd=workdir, env=env, stdout=out, stderr=err,
                             stdin=subprocess.DEVNULL)

    def process_alive(self) -> bool:
        return self.poll() is None

    def path(self, name: str) -> Path:
        return self.workdir / name

    def log(self) -> str:
        return "".join((self.log_dir / name).read_text(errors="replace") for name in ("stdout.txt", "stderr.txt"))
