"""The desktops the notification-area round trip is tried on: a bare X server with trayer (no window
manager), openbox with trayer, and XFCE (xfwm4 with xfce4-panel, whose status tray hosts the icon as
a StatusNotifierItem over a session bus of the test's own). Each knows how a person restores the
main window from the icon and chooses a pop-up command there, and reads what the window manager
made of a window from the properties it keeps (WM_STATE, _NET_CLIENT_LIST, _NET_WM_STATE)."""

from __future__ import annotations

import json
import os
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

import desktop
from desktop import wait_until

def popup_places(items: list[dict] | None = None, prefix: str = "") -> dict[str, tuple[int, int]]:
    """The pop-up's entries as (index, count) on their level, by their captions' path ("Help/About")."""
    if items is None:
        items = desktop.core_data()["popupMenu"][0]["children"]
    places = {}
    for index, item in enumerate(items):
        places[prefix + item["caption"]] = (index, len(items))
        places.update(popup_places(item["children"], prefix + item["caption"] + "/"))
    return places


POPUP_PLACES = popup_places()

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

    # The program and its windows on this desktop.
    def launch_options(self) -> dict:
        return {"tray": None, "bus": self.bus}

    def main_window(self) -> int:
        return desktop.window_by_name(desktop.MAIN_WINDOW)

    def window(self, title: str) -> int:
        return desktop.window_by_name(title)

    def windows_named(self, title: str) -> list[int]:
        return desktop.windows_named(title)

    def window_gone(self, title: str) -> None:
        desktop.wait_window_gone(title)

    def close(self, window: int) -> None:
        desktop.close_window(window)

    def focused(self, window: int) -> bool:
        return focused() == window

    def focus(self, window: int) -> None:
        desktop.xdotool("windowactivate", "--sync", str(window)) if self.window_manager else \
            desktop.xdotool("windowfocus", "--sync", str(window))

    def keys(self, keys: list[str]) -> None:
        desktop.key(*keys)

    def kept_in_front(self, upper: int, lower: int) -> bool:
        return focused() == upper and stacked_above(upper, lower)

    def centred(self, window: int, screen) -> bool:
        """Centred on the screen, frame and all, once the window manager has framed it."""
        frame = frame_geometry(window)
        framed = frame.height > desktop.geometry(window).height or not self.window_manager
        return framed and abs(frame.x + frame.width / 2 - screen.width / 2) <= 1 and \
            abs(frame.y + frame.height / 2 - screen.height / 2) <= 1

    def off_task_bar(self, window: int) -> bool | None:
        return "_NET_WM_STATE_SKIP_TASKBAR" in net_wm_state(window)

    def minimize(self) -> None:
        desktop.minimize()

    def open_window(self, main: int, command: str, title: str) -> int:
        return desktop.open_window(main, command, title)

    def popups(self) -> set[int]:
        return set(desktop.popups())

    def screenshot_menu_bar(self, main: int) -> None:
        where = desktop.geometry(main)  # the menu bar wraps: Minimize stands alone on its second row
        desktop.screenshot(f"menu_bar_wrapped_{self.name}", region=desktop.Geometry(
            where.x, where.y, where.width, where.height - desktop.px(desktop.layout("Form1")["client"][1])))

    # What the desktop made of the main window.
    def hidden(self, window: int) -> bool:
        info = desktop._info(window)
        shown = bool(info and info[1])
        return not shown and (not self.window_manager or window not in client_list())

    def restored(self, window: int) -> bool:
        """Normal state, mapped, on the task bar and above every other window but docks."""
        info = desktop._info(window)
        if not (info and info[1] and info[0].width == desktop.MAIN_WIDTH):
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

    def stop(self) -> None:  # also after a start that failed half-way
        if getattr(self, "panel", None):
            self.stop_tray()
        super().stop()
        if getattr(self, "bus_pid", None):
            os.kill(self.bus_pid, 15)
        shutil.rmtree(self.config, ignore_errors=True)

    as_user: list[str] = []  # what runs a command as the desktop's user

    def _gdbus(self, destination: str, path: str, method: str, *args: str) -> str:
        done = subprocess.run([*self.as_user, "gdbus", "call", "--session", "--dest", destination, "--object-path", path,
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


WAYBAR_CONFIG = '{"layer": "top", "position": "top", "height": 30, "modules-right": ["tray"], "tray": {"spacing": 4}}'
SWAY_CONFIG = "output HEADLESS-1 resolution 1280x800\n"


class Sway(Xfce):
    """sway on its headless back end with waybar's tray as the StatusNotifierItem host, on a
    session bus of the test's own. sway will not run as root: when the tests do, it, waybar, the
    bus and the program run as nobody. Windows are sway's containers, read from its tree; keys
    come through the virtual keyboard (wtype); the item and its menu are driven over D-Bus as the
    XFCE panel's are. What Wayland does not let a client do stands in the checks beside it."""

    name = "sway"
    window_manager = True
    user = 65534 if os.geteuid() == 0 else os.geteuid()

    def start(self) -> None:
        self.tray_host.stop()
        self.root = Path(tempfile.mkdtemp(prefix="latchsweep-sway-"))
        self.root.chmod(0o755)
        runtime = self.root / "runtime"
        runtime.mkdir(mode=0o700)
        os.chown(runtime, self.user, self.user)
        (self.root / "sway.conf").write_text(SWAY_CONFIG)
        (self.root / "waybar.json").write_text(WAYBAR_CONFIG)
        self.config = self.root  # removed with the bus when the desktop stops
        self.as_user = [] if self.user == os.geteuid() else \
            ["setpriv", f"--reuid={self.user}", f"--regid={self.user}", "--clear-groups", "--"]
        self.env = {name: value for name, value in os.environ.items() if name not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(XDG_RUNTIME_DIR=str(runtime), WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman", NO_AT_BRIDGE="1")
        daemon = subprocess.run([*self.as_user, "dbus-daemon", "--session", "--fork", "--print-address=1",
                                 "--print-pid=1"], capture_output=True, text=True, timeout=20, check=True,
                                env=self.env).stdout.split()
        self.bus, self.bus_pid = daemon[0], int(daemon[1])
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        self._spawn(*self.as_user, "sway", "-c", str(self.root / "sway.conf"), env=self.env)
        self.socket = runtime / "wayland-1"
        wait_until(lambda: self.socket.exists() and list(runtime.glob("sway-ipc.*.sock")), timeout=15,
                   message="sway does not start")
        self.env.update(WAYLAND_DISPLAY=str(self.socket), SWAYSOCK=str(next(runtime.glob("sway-ipc.*.sock"))))
        # A seat without a keyboard gives no client keyboard focus; a keyboard that comes later
        # is not given to the window already focused. One virtual keyboard stays for the whole run.
        self._spawn(*self.as_user, "wtype", "-s", "2000000000", env=self.env)
        wait_until(lambda: "human_readable" in self._run("swaymsg", "-t", "get_version", "--raw"), timeout=10,
                   message="sway does not answer")
        self.start_tray()

    def start_tray(self) -> None:
        self.panel = self._spawn(*self.as_user, "waybar", "-c", str(self.root / "waybar.json"), env=self.env)
        wait_until(lambda: "true" in self._gdbus("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                                 "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                                                 "IsStatusNotifierHostRegistered"),
                   timeout=15, message="waybar hosts no tray")

    def _run(self, *command: str) -> str:
        return subprocess.run([*self.as_user, *command], capture_output=True, text=True, timeout=20,
                              env=self.env).stdout

    def launch_options(self) -> dict:
        # Qt's Wayland platform, and no X display to fall back on.
        # Qt's Wayland platform, and no X display to fall back on; the client's requests logged
        # show what it does with an activation token.
        return {"tray": None, "bus": self.bus, "user": self.user, "platform": "wayland",
                "environment": {"DISPLAY": None, "WAYLAND_DISPLAY": str(self.socket), "WAYLAND_DEBUG": "client"},
                "shown": self.main_window}

    def restore_with_token(self, token: str) -> None:
        """The primary activation of a host that offers an xdg-activation token first (waybar
        offers none)."""
        item = self.item()
        self._gdbus(*item, "org.kde.StatusNotifierItem.ProvideXdgActivationToken", f"'{token}'")
        self._gdbus(*item, "org.kde.StatusNotifierItem.Activate", "0", "0")

    def tree(self) -> list[dict]:
        """sway's windows (its containers that hold a client), each with its name, size,
        `visible` and `focused`."""
        try:
            root = json.loads(self._run("swaymsg", "-t", "get_tree", "--raw") or "null")
        except json.JSONDecodeError:
            return []
        found, nodes = [], [root] if root else []
        while nodes:
            node = nodes.pop()
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
            if node.get("pid"):
                found.append(node)
        return found

    # A window is known by its title: sway makes a new container each time a window is shown again.
    def _node(self, window: str) -> dict | None:
        found = [node for node in self.tree() if node.get("name") == window]
        return found[0] if len(found) == 1 else None

    def windows_named(self, title: str) -> list[int]:
        return [node["id"] for node in self.tree() if node.get("name") == title]

    def window(self, title: str, timeout: float = 10) -> str:
        found = wait_until(lambda: self.windows_named(title), timeout, message=f"no window named {title!r}")
        assert len(found) == 1, f"{len(found)} windows named {title!r}"
        return title

    def main_window(self) -> str:
        return self.window(desktop.MAIN_WINDOW, timeout=15)

    def window_gone(self, title: str) -> None:
        wait_until(lambda: not self.windows_named(title), message=f"window {title!r} still shown")

    def close(self, window: str) -> None:  # what the close keys of sway's bindings send
        self._run("swaymsg", f"[con_id={self._node(window)['id']}]", "kill")

    def focused(self, window: str) -> bool:
        node = self._node(window)
        return bool(node and node["focused"])

    def focus(self, window: str) -> None:
        self._run("swaymsg", f"[con_id={self._node(window)['id']}]", "focus")
        wait_until(lambda: self.focused(window), message="sway does not focus the window")

    def keys(self, keys: list[str]) -> None:
        # Each wtype run is a keyboard of its own that comes and goes: the client learns its key
        # map before the first key.
        command = ["-s", "300"]
        for key in keys:
            command += ["-k", "Alt_L" if key == "alt" else key]
            command += ["-s", "60"]
        self._run("wtype", *command)

    def kept_in_front(self, upper: int, lower: int) -> bool:
        return self.focused(upper)  # sway keeps the stacking of floating windows to itself

    def centred(self, window: str, screen) -> bool:
        # A Wayland client cannot place its window: the compositor does. What stands in is the
        # window at its fixed size, which sway floats.
        node = self._node(window)
        return bool(node and node["type"] == "floating_con" and node["window_rect"]["width"] == desktop.MAIN_WIDTH)

    def off_task_bar(self, window: str) -> bool | None:
        return None  # Wayland has no skip-taskbar hint

    def minimize(self) -> None:
        # No pointer reaches a client here: the keyboard chooses Minimize on the focused window.
        self.focus(self.window(desktop.MAIN_WINDOW))
        self.choose_from_bar("Minimize")
        wait_until(lambda: not self.windows_named(desktop.MAIN_WINDOW), message="Minimize left the window shown")

    def choose_from_bar(self, command: str) -> None:
        path = next(path for path, item in desktop.menu_bar_commands() if item["command"] == command)
        self.keys(desktop.menu_bar_keys(path))

    def open_window(self, main: int, command: str, title: str) -> int:
        self.focus(main)
        self.choose_from_bar(command)
        return self.window(title)

    def popups(self) -> set[int]:
        return set()  # a Wayland pop-up is a surface of its client's: it goes with the program

    def screenshot_menu_bar(self, main: int) -> None:
        node = self._node(main)
        rect = node["rect"]
        directory = Path(os.environ.get("LATCHSWEEP_SCREENSHOTS") or Path(tempfile.gettempdir()) /
                         "latchsweep-screenshots")
        directory.mkdir(parents=True, exist_ok=True)
        # The window, and the host's bar across the top of the screen.
        for name, region in (("menu_bar_wrapped_sway", f"{rect['x']},{rect['y']} {rect['width']}x{rect['height']}"),
                             ("waybar_tray_sway", "0,0 1280x30")):
            shot = subprocess.run(["grim", "-g", region, "-"], capture_output=True, timeout=20, env=self.env)
            (directory / f"{name}.png").write_bytes(shot.stdout)

    def hidden(self, window: str) -> bool:
        return self._node(window) is None

    def restored(self, window: str) -> bool:
        """Back at its size, shown and focused: Qt never reports the minimised state on Wayland,
        and sway has none, so there is no state to read."""
        node = self._node(window)
        return bool(node and node["visible"] and node["focused"] and node["window_rect"]["width"] == desktop.MAIN_WIDTH)

    def describe(self, window: str) -> str:
        return f"sway's tree: {[(n['id'], n.get('name'), n['visible'], n['focused']) for n in self.tree()]}"

    def minimised_on_task_bar(self, window: str) -> bool:
        # Sway has no minimised state and no task bar: the window is shown again.
        node = self._node(window)
        return bool(node and node["visible"])


NEEDS = {"bare": ["xprop"], "openbox": ["xprop", "openbox"],
         "xfce": ["xprop", "xfwm4", "xfce4-panel", "dbus-daemon", "gdbus"],
         "sway": ["sway", "swaymsg", "waybar", "wtype", "grim", "dbus-daemon", "gdbus", "setpriv"]}


def make(name: str, tray_host) -> Desktop:
    return {"bare": Desktop, "openbox": Openbox, "xfce": Xfce, "sway": Sway}[name](tray_host)
