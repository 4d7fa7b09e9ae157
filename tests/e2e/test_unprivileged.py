"""The program as an ordinary user runs it. Root passes every permission check, so when the
tests run as root the program runs as nobody, in a working directory of its own: it deletes the
lock file where that user may and leaves it where it may not. (A save refused by a read-only list
is test_robustness's, with root's file privileges dropped.)"""

from __future__ import annotations

import os
from pathlib import Path

import desktop
from desktop import CRLF, MAIN_WINDOW, gone_within

AS_ROOT = os.geteuid() == 0
USER = 65534 if AS_ROOT else os.geteuid()  # nobody, where root would pass every check


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

    desktop.click_main_button(main, "Command1")
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
