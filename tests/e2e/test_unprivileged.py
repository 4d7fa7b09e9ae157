"""The program as an ordinary user runs it. Root passes every permission check, so when the
tests run as root the program runs as nobody, in a working directory of its own: it deletes the
lock file where that user may, leaves it where it may not, and cannot save a read-only list."""

from __future__ import annotations

import os
from pathlib import Path

import desktop
from desktop import CRLF, DIRECTORY_SAVE, DIRECTORY_WINDOW, MAIN_WINDOW, gone_within

AS_ROOT = os.geteuid() == 0
USER = 65534 if AS_ROOT else os.geteuid()  # nobody, where root would pass every check
# An entry saved on another machine long ago: no Save here could write these bytes.
OLD_LIST = b"C:\\Games\\Midtown Madness 2\\MM2.LOCK\r\n"


def test_deletes_the_lock_file_where_it_may_and_leaves_it_where_it_may_not(launch):
    program = launch({"Directory.txt": lambda work: f"{work / 'Game' / 'MM2.LOCK'}{CRLF}",
                      "AutoDelete.txt": f"200{CRLF}"}, user=USER)
    assert Path(f"/proc/{program.pid}").stat().st_uid == USER, "the program runs as another user"
    game, shut = program.path("Game"), program.path("Shut")
    for directory in (game, shut):
        directory.mkdir()
    if AS_ROOT:
        os.chown(game, USER, USER)
    lock, stuck = game / "MM2.LOCK", shut / "MM2.LOCK"
    stuck.write_text("locked")
    shut.chmod(0o755 if AS_ROOT else 0o555)  # root's, or read-only to its owner
    lock.write_text("locked")
    main = desktop.window_by_name(MAIN_WINDOW)

    desktop.click_main_button(main, "Turn ON")
    gone_within(lock, 3)
    lock.write_text("locked")
    gone_within(lock, 1)

    # A lock file the user may not delete stays, with no message and no end to the program.
    listing = program.path("Directory.txt")
    listing.write_bytes(f"{stuck}{CRLF}".encode())
    assert desktop.holds_for(lambda: stuck.exists() and program.process_alive() and not desktop.popups()
                             and desktop.windows_named(MAIN_WINDOW) == [main], 1.5), \
        "the lock file went, or a message or an end came"
    # and the sweeper carries on.
    listing.write_bytes(f"{lock}{CRLF}".encode())
    lock.write_text("locked")
    gone_within(lock, 1)
    assert stuck.read_text() == "locked"


def test_read_only_lock_file_list_is_refused_with_the_reason(launch):
    program = launch({"Directory.txt": OLD_LIST}, user=USER)
    listing = program.path("Directory.txt")
    listing.chmod(0o444)
    program.path("Game").mkdir()
    main = desktop.window_by_name(MAIN_WINDOW)

    window = desktop.open_window(main, "Settings > Settings > MM2 Directory", DIRECTORY_WINDOW)
    desktop.key("Down", "Return")  # into Game, the working directory's one subdirectory
    desktop.click_twips(window, *DIRECTORY_SAVE)
    box = desktop.geometry(desktop.wait_until(lambda: [w for w in desktop.windows_named(MAIN_WINDOW) if w != main],
                                              message="no message box")[0])
    # Its text is selectable: a click into it, then select all and copy, as a person would.
    desktop.click_at(box.x + box.width // 3, box.y + box.height // 4)
    desktop.key("ctrl+a", "ctrl+c")
    text = desktop.wait_until(desktop.clipboard_text, message="the box's text was not copied")
    prefix = "Could not save Directory.txt: "
    assert text.startswith(prefix) and text[len(prefix):].strip(), f"box text {text!r}"
    desktop.answer_box(MAIN_WINDOW, already=1)

    assert not desktop.windows_named("Success")
    assert listing.read_bytes() == OLD_LIST, "a refused save changed the list"
    assert program.process_alive()
