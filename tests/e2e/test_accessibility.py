"""What a screen reader announces: every window opened from the menus (through AT-SPI, as a
screen reader user opens it) and the tray's pop-up menu are walked over AT-SPI; whatever a user
can reach must carry a name, and the names are the core's captions and labels."""

from __future__ import annotations

import importlib.util

import pytest

import atspi
import desktop

# Found, not imported: pyatspi keeps the first bus it connects to (see atspi).
if importlib.util.find_spec("pyatspi") is None:
    pytest.skip("needs python3-pyatspi", allow_module_level=True)

# The menu item that opens each window (the menu bar's names, fixed by the program's design).
OPENED_BY = {"settingsdir": "Form2", "settingadelete": "Form3", "help": "frmHelp", "about": "frmAbout"}
# The roles each kind of control may take on AT-SPI.
ROLES = {"Frame": {"panel"}, "Button": {"push button"}, "Label": {"label"}, "RichText": {"text", "entry"},
         "DirectoryList": {"list"}, "Picture": {"image", "label"}}


@pytest.fixture(scope="module")
def core():
    data = desktop.core_data()
    data["layouts"] = {layout["name"]: layout for layout in data["windows"]}
    return data


@pytest.fixture(scope="module")
def bus():
    environment = pytest.MonkeyPatch()
    session = atspi.Bus()
    environment.setenv("DBUS_SESSION_BUS_ADDRESS", session.address)
    environment.setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1")
    yield session.address
    environment.undo()
    session.stop()


def menu_item(bar_items: list, path: list[str]):
    """The menu item reached by following captions from the menu bars' items."""
    items = bar_items
    for caption in path:
        item = next((i for i in items if i.name == caption), None)
        assert item is not None, f"no menu item {caption!r} among {[i.name for i in items]}"
        items = [grand for menu in atspi.children(item) for grand in atspi.children(menu)]
    return item


def paths_to(items: list[dict], name: str, above: tuple = ()) -> list[str] | None:
    for item in items:
        if item["name"] == name:
            return [*above, item["caption"]]
        found = paths_to(item["children"], name, (*above, item["caption"]))
        if found:
            return found
    return None


def check_window(node, layout: dict) -> None:
    assert node.getRoleName() in ("frame", "dialog"), f"{layout['name']} is announced as a {node.getRoleName()}"
    nodes = list(atspi.walk(node))
    assert not atspi.unnamed_controls(node), f"{layout['name']}: reachable without a name: " \
                                             f"{atspi.unnamed_controls(node)}"
    for control in layout["controls"]:
        if not control["accessibleName"]:
            continue
        matching = [n for n in nodes if n.name == control["accessibleName"]
                    and n.getRoleName() in ROLES[control["kind"]]]
        assert matching, f"{layout['name']}.{control['name']}: no {ROLES[control['kind']]} named " \
                         f"{control['accessibleName']!r}; found {[atspi.describe(n) for n in nodes]}"
        label = next((c for c in layout["controls"] if c["name"] == control["labelledBy"]), None)
        if label is not None and label["kind"] == "Label":
            assert any(label["accessibleName"] in atspi.labels_of(n) for n in matching), \
                f"{layout['name']}.{control['name']} is not labelled by {label['name']}"


def test_every_window_and_menu_is_named_as_the_core_names_it(launch, bus, core):
    program = launch(bus=bus)
    app = atspi.application(desktop.MAIN_WINDOW)
    main = atspi.window(app, core["layouts"]["Form1"]["caption"])
    check_window(main, core["layouts"]["Form1"])

    bars = [n for n in atspi.walk(main) if n.getRoleName() == "menu bar"]
    assert bars and all(bar.name == main.name for bar in bars), "the menu bar is not named after its window"
    bar_items = [item for bar in bars for item in atspi.children(bar)]
    assert [item for bar in bars for item in atspi.menu_tree(bar)] == atspi.expected_menu(core["mainMenuBar"])

    for item_name, form in OPENED_BY.items():
        layout = core["layouts"][form]
        atspi.press(menu_item(bar_items, paths_to(core["mainMenuBar"], item_name)))
        opened = atspi.window(app, layout["caption"])
        check_window(opened, layout)
        desktop.screenshot(f"accessibility_{form}")
        if form == "Form2":
            # The directory list's entries are read by their names: the working directory's among them.
            entries = [n for n in atspi.walk(opened) if n.getRoleName() in ("list item", "table cell")]
            assert entries and all(entry.name for entry in entries), "an entry of MM2Dir has no name"
            assert program.workdir.name in [entry.name for entry in entries]

    # The tray's pop-up menu is no child of the application (Qt leaves pop-ups out): it is met,
    # as a screen reader meets it, through the focus moving onto its first item.
    focus = atspi.Events("object:state-changed:focused")
    try:
        before = desktop.popups()
        desktop.click_at(*desktop.docked_icon().center, button=3)
        desktop.wait_popup(before)
        desktop.key("Down")
        item = focus.wait(lambda event: event.detail1 and event.source.getRoleName() == "menu item")
    finally:
        focus.close()
    assert item is not None, "no item of the pop-up took the focus"
    popup = item.source.parent
    assert popup.name == core["popupMenu"][0]["caption"]
    assert atspi.menu_tree(popup) == atspi.expected_menu(core["popupMenu"][0]["children"])
    assert not atspi.unnamed_controls(popup), atspi.unnamed_controls(popup)
    desktop.key("Escape")
