"""The desktops the notification-area round trip is tried on: a bare X server with trayer (no window
manager), openbox with trayer, and XFCE (xfwm4 with xfce4-panel, whose status tray hosts the icon as
a StatusNotifierItem over a session bus of the test's own). Each knows how a person restores the
main window from the icon and chooses a pop-up command there, and reads what the window manager
made of a window from the properties it keeps (WM_STATE, _NET_CLIENT_LIST, _NET_WM_STATE)."""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

import desktop
from desktop import wait_until

# The pop-up's entries as (index, count) per level, by caption.
POPUP_PLACES = {
    "File": (0, 4), "Settings": (1, 4), "Help": (2, 4), "Show Main Window": (3, 4),
    "File/Exit": (0, 1), "Settings/Settings": (0, 1), "Settings/Settings/MM2 Directory": (0, 2),
    "Settings/Settings/Auto-Delete": (1, 2), "Help/Help": (0, 2), "Help/About": (1, 2),
}

PANEL_XML = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="tasklist"/>
    <property name="plugin-2" type="string" value="systray"/>
  </property>
</channel>
"""


def _xprop(*args: str) -> str:
    return subprocess.run(["xprop", *args], capture_output=True, text=True, timeout=20).stdout


def _ids(text: str) -> list[int]:
    return [int(value, 16) for value in re.findall(r"0x[0-9a-f]+", text.partition("#")[2])]


def client_list(stacking: bool = False) -> list[int]:
    """The window manager's managed windows, bottom to top when `stacking`."""
    return _ids(_xprop("-root", "_NET_CLIENT_LIST_STACKING" if stacking else "_NET_CLIENT_LIST"))


def wm_state(window: int) -> str:
    match = re.search(r"window state: (\w+)", _xprop("-id", str(window), "WM_STATE"))
    return match.group(1) if match else "Withdrawn"


def net_wm_state(window: int) -> str:
    return _xprop("-id", str(window), "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE")


def focused() -> int:
    return int(desktop.xdotool("getwindowfocus").strip() or 0)


def stacked_above(upper: int, lower: int) -> bool:
    """Whether `upper` is above `lower` among the screen's top-level windows (frames included)."""
    def top_level(window: int) -> int:
        while True:
            tree = subprocess.run(["xwininfo", "-tree", "-id", str(window)], capture_output=True, text=True).stdout
            parent = re.search(r"Parent window id: (0x[0-9a-f]+)( \(the root window\))?", tree)
            if not parent or parent.group(2):
                return window
            window = int(parent.group(1), 16)
    # xwininfo lists the root's children from the top of the stack down.
    order = [int(m, 16) for m in re.findall(r"^\s+(0x[0-9a-f]+)", subprocess.run(
        ["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout, re.MULTILINE)]
    upper, lower = top_level(upper), top_level(lower)
    return upper in order and lower in order and order.index(upper) < order.index(lower)


def frame_geometry(window: int) -> desktop.Geometry:
    """The window with the frame the window manager drew around it."""
    where = desktop.geometry(window)
    extents = re.findall(r"\d+", _xprop("-id", str(window), "_NET_FRAME_EXTENTS").partition("=")[2])
    left, right, top, bottom = map(int, extents) if len(extents) == 4 else (0, 0, 0, 0)
    return desktop.Geometry(where.x - left, where.y - top, where.width + left + right, where.height + top + bottom)


class Desktop:
    """Without a window manager: windows are mapped as asked, trayer hosts the icon over XEmbed."""

    name = "bare"
    window_manager = False
    bus: str | None = None

    def __init__(self, tray_host):
        self.tray_host = tray_host
        self.processes: list[subprocess.Popen] = []

    def start(self) -> None:
        self.start_tray()

    def stop(self) -> None:
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)

    def _spawn(self, *command: str, env: dict | None = None) -> subprocess.Popen:
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        self.processes.append(process)
        return process

    def start_tray(self) -> None:
        self.tray_host.start()

    def stop_tray(self) -> None:
        self.tray_host.stop()

    def icon_there(self) -> bool:
        return len(desktop.tray_icons()) == 1

    def restore_from_icon(self) -> None:
        desktop.double_click_at(*desktop.docked_icon().center)

    def choose(self, path: str) -> None:
        """Right-clicks the icon and follows `path` ("Help/About") through the pop-up."""
        before = desktop.popups()
        desktop.click_at(*desktop.docked_icon().center, button=3)
        menu = desktop.wait_popup(before)
        parts = path.split("/")
        for depth in range(1, len(parts) + 1):
            index, count = POPUP_PLACES["/".join(parts[:depth])]
            menu = desktop.choose_popup_item(menu, index, count)

    # What the desktop made of the main window.
    def hidden(self, window: int) -> bool:
        info = desktop._info(window)
        shown = bool(info and info[1])
        return not shown and (not self.window_manager or window not in client_list())

    def restored(self, window: int) -> bool:
        """Normal state, mapped, on the task bar and above every other window but docks."""
        info = desktop._info(window)
        if not (info and info[1] and info[0].width == 312):
            return False
        if not self.window_manager:
            return True
        above = client_list(stacking=True)
        above = above[above.index(window) + 1:] if window in above else [window]
        return wm_state(window) == "Normal" and "HIDDEN" not in net_wm_state(window) and \
            "SKIP_TASKBAR" not in net_wm_state(window) and \
            all("_NET_WM_WINDOW_TYPE_DOCK" in net_wm_state(other) for other in above)

    def describe(self, window: int) -> str:
        """What a failed check saw of the window."""
        info = desktop._info(window)
        if not self.window_manager:
            return f"geometry and viewable: {info}"
        stacking = [hex(w) for w in client_list(stacking=True)]
        return f"geometry and viewable: {info}; WM_STATE {wm_state(window)}; {net_wm_state(window).strip()}; " \
               f"stacking {stacking}, window {hex(window)}"

    def minimised_on_task_bar(self, window: int) -> bool:
        if not self.window_manager:  # mapped as asked: the window is back on screen
            info = desktop._info(window)
            return bool(info and info[1])
        return window in client_list() and wm_state(window) == "Iconic" and "SKIP_TASKBAR" not in net_wm_state(window)


class Openbox(Desktop):
    name = "openbox"
    window_manager = True

    def start(self) -> None:
        self._spawn("openbox", "--sm-disable")
        wait_until(lambda: "window id" in _xprop("-root", "_NET_SUPPORTING_WM_CHECK"), timeout=10,
                   message="openbox does not manage the screen")
        super().start()


class Xfce(Desktop):
    """xfwm4 and xfce4-panel with its task list and status tray, on a session bus of its own."""

    name = "xfce"
    window_manager = True

    def start(self) -> None:
        self.tray_host.stop()
        self.config = Path(tempfile.mkdtemp(prefix="latchsweep-xfce-"))
        panel = self.config / "xfce4" / "xfconf" / "xfce-perchannel-xml"
        panel.mkdir(parents=True)
        (panel / "xfce4-panel.xml").write_text(PANEL_XML)
        self.env = dict(os.environ, XDG_CONFIG_HOME=str(self.config))
        self.env.pop("SESSION_MANAGER", None)
        daemon = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                                capture_output=True, text=True, timeout=20, check=True, env=self.env).stdout.split()
        self.bus, self.bus_pid = daemon[0], int(daemon[1])
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        self._spawn("xfwm4", "--compositor=off", "--sm-client-disable", env=self.env)
        wait_until(lambda: "window id" in _xprop("-root", "_NET_SUPPORTING_WM_CHECK"), timeout=10,
                   message="xfwm4 does not manage the screen")
        self.start_tray()

    def stop(self) -> None:
        self.stop_tray()
        super().stop()
        os.kill(self.bus_pid, 15)
        shutil.rmtree(self.config, ignore_errors=True)

    def _gdbus(self, destination: str, path: str, method: str, *args: str) -> str:
        done = subprocess.run(["gdbus", "call", "--session", "--dest", destination, "--object-path", path,
                               "--method", method, "--", *args], capture_output=True, text=True, timeout=20,
                              env=self.env)
        return done.stdout if done.returncode == 0 else ""

    def start_tray(self) -> None:
        self.panel = self._spawn("xfce4-panel", "--disable-wm-check", "--sm-client-disable", env=self.env)
        wait_until(lambda: "true" in self._gdbus("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                                 "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                                                 "IsStatusNotifierHostRegistered"),
                   timeout=15, message="xfce4-panel hosts no status tray")

    def stop_tray(self) -> None:
        if self.panel.poll() is None:
            self.panel.terminate()
            self.panel.wait(timeout=10)
        if self.panel in self.processes:
            self.processes.remove(self.panel)

    def items(self) -> list[tuple[str, str]]:
        """The StatusNotifierItems the panel's watcher lists, as (bus name, object path)."""
        listed = self._gdbus("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                             "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                             "RegisteredStatusNotifierItems")
        return [(item.partition("/")[0], "/" + item.partition("/")[2]) for item in re.findall(r"'([^']+)'", listed)]

    def icon_there(self) -> bool:
        return len(self.items()) == 1

    def item(self) -> tuple[str, str]:
        return wait_until(lambda: (lambda found: found[0] if len(found) == 1 else None)(self.items()),
                          timeout=10, message="the panel does not list exactly one item")

    def restore_from_icon(self) -> None:
        # The host's primary activation: what the panel sends for a left click on the item.
        self._gdbus(*self.item(), "org.kde.StatusNotifierItem.Activate", "0", "0")

    def choose(self, path: str) -> None:
        """Works the item's menu over com.canonical.dbusmenu as the panel does: AboutToShow for
        the menu and each submenu opened, then the "clicked" event of the item."""
        service, item = self.item()
        menu = re.search(r"'([^']+)'", self._gdbus(service, item, "org.freedesktop.DBus.Properties.Get",
                                                   "org.kde.StatusNotifierItem", "Menu")).group(1)
        assert menu != "/NO_DBUSMENU", "the item offers the host no menu"
        layout = self._gdbus(service, menu, "com.canonical.dbusmenu.GetLayout", "0", "-1", "[]")
        # Every node as (id, label, submenu), in the layout's depth-first order.
        nodes = [(int(node), label, "children-display" in properties) for node, properties, label in
                 re.findall(r"\((\d+), \{([^}]*'label': <'([^']*)'>[^}]*)\}", layout)]
        opened, node = [0], None
        for caption in path.split("/"):
            node = next(n for n in nodes if n[1] == caption and n[0] not in opened and
                        (n[2] or caption == path.split("/")[-1]))
            opened.append(node[0])
        for submenu in opened[:-1]:
            self._gdbus(service, menu, "com.canonical.dbusmenu.AboutToShow", str(submenu))
        self._gdbus(service, menu, "com.canonical.dbusmenu.Event", str(opened[-1]), "'clicked'", "<0>", "0")


NEEDS = {"bare": ["xprop"], "openbox": ["xprop", "openbox"],
         "xfce": ["xprop", "xfwm4", "xfce4-panel", "dbus-daemon", "gdbus"]}


def make(name: str, tray_host) -> Desktop:
    return {"bare": Desktop, "openbox": Openbox, "xfce": Xfce}[name](tray_host)
