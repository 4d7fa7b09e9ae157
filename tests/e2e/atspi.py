"""The program as assistive technology meets it: its accessibility tree over AT-SPI, read with
python3-pyatspi on a session bus of its own that brings up the AT-SPI bus on first request.
pyatspi is imported only once that bus is in the environment, since it keeps the first bus it
connects to."""

from __future__ import annotations

import os
import signal
import subprocess
import time
from dataclasses import dataclass, field

import desktop

# Roles that only hold or decorate other objects: a screen reader passes over them unnamed.
CONTAINER_ROLES = {"filler", "panel"}
# Parts of a control that the control's own name covers: a text box's scroll bars.
PART_ROLES = {"scroll bar"}


class Bus:
    """A D-Bus session bus; the AT-SPI bus launcher is started on it by activation."""

    def __init__(self):
        out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                             capture_output=True, text=True, check=True, timeout=10).stdout.split()
        self.address, self.pid = out[0], int(out[1])

    def stop(self) -> None:
        os.kill(self.pid, signal.SIGTERM)


def _pyatspi():
    import pyatspi  # noqa: PLC0415 (see the module's note)
    return pyatspi


def application(name: str, timeout: float = 15):
    """The application of that name on the AT-SPI bus, once it has registered there."""
    def registered():
        desk = _pyatspi().Registry.getDesktop(0)
        return next((app for app in (desk.getChildAtIndex(i) for i in range(desk.childCount))
                     if app is not None and app.name == name), None)
    return desktop.wait_until(registered, timeout, interval=0.2, message=f"{name!r} is not on the AT-SPI bus")


def children(node) -> list:
    return [child for child in (node.getChildAtIndex(i) for i in range(node.childCount)) if child is not None]


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def states(node) -> set[str]:
    return {_pyatspi().stateToString(state) for state in node.getState().getStates()}


def actions(node) -> list[str]:
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(node, name: str = "Press") -> None:
    action = node.queryAction()
    index = actions(node).index(name)
    assert action.doAction(index), f"{node.getRoleName()} {node.name!r} refused {name}"


def window(app, title: str, timeout: float = 5):
    """The shown top-level window of that title."""
    return desktop.wait_until(lambda: next((w for w in children(app) if w.name == title and "showing" in states(w)),
                                           None), timeout, message=f"no window {title!r} on the AT-SPI bus")


def describe(node) -> str:
    return f"{node.getRoleName()} {node.name!r}"


def unnamed_controls(root) -> list[str]:
    """What a user can reach (shown, focusable or actionable) but hears no name for; containers
    that take no input pass."""
    found = []
    for node in walk(root):
        if node.name or node.getRoleName() in PART_ROLES:
            continue
        reachable_input = "focusable" in states(node) or actions(node)
        if reachable_input or ("showing" in states(node) and node.getRoleName() not in CONTAINER_ROLES):
            path, up = [], node
            while up is not None and up != root:
                path.append(describe(up))
                up = up.parent
            found.append(" < ".join(path))
    return found


def labels_of(node) -> list[str]:
    """Names of what the node is labelled by."""
    relation_type = _pyatspi().RELATION_LABELLED_BY
    return [relation.getTarget(i).name for relation in node.getRelationSet()
            if relation.getRelationType() == relation_type for i in range(relation.getNTargets())]


@dataclass
class Menu:
    name: str
    children: list[Menu] = field(default_factory=list)


def menu_tree(node) -> list[Menu]:
    """The items under a menu bar or menu, each with the items of the menu it opens."""
    items = []
    for child in children(node):
        role = child.getRoleName()
        if role == "menu item":
            submenus = [grand for grand in children(child) if grand.getRoleName() in ("popup menu", "menu")]
            items.append(Menu(child.name, [item for menu in submenus for item in menu_tree(menu)]))
        elif role in ("popup menu", "menu"):
            items.extend(menu_tree(child))
    return items


def expected_menu(items: list[dict]) -> list[Menu]:
    """The core's menu data (as core_data writes it) in the same shape."""
    return [Menu(item["caption"], expected_menu(item["children"])) for item in items]


class Events:
    """AT-SPI events of one kind as they arrive; wait() pumps the main loop that delivers them."""

    def __init__(self, kind: str):
        self.kind, self.seen = kind, []
        _pyatspi().Registry.registerEventListener(self.seen.append, kind)

    def wait(self, predicate, timeout: float = 5):
        from gi.repository import GLib  # noqa: PLC0415 (comes with pyatspi)
        context = GLib.MainContext.default()
        deadline = time.monotonic() + timeout
        while True:
            while context.pending():
                context.iteration(False)
            match = next((event for event in self.seen if predicate(event)), None)
            if match is not None or time.monotonic() >= deadline:
                return match
            time.sleep(0.02)

    def close(self) -> None:
        _pyatspi().Registry.deregisterEventListener(self.seen.append, self.kind)
