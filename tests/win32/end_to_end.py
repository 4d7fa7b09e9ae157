"""The real Windows program under Wine, used as a player uses it: real XTEST input (xdotool),
windows found by their titles, what a window shows read with window_texts.exe, files checked on
disk. Run by scripts/windows-tests.sh on a display with a tray host, once per program:

    end_to_end.py WINE_RUN PROGRAM CORE_DATA WINDOW_TEXTS [--code-page N] [--sweep-only]

Under Wine, C: is the prefix's drive_c and Z: the root of the file system. Without a window
manager Wine draws each window's frame itself, inside the X window."""

from __future__ import annotations

import argparse
import contextlib
import json
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

CRLF = b"\r\n"
arguments = argparse.ArgumentParser()
arguments.add_argument("wine_run")
arguments.add_argument("program")
arguments.add_argument("core_data")
arguments.add_argument("window_texts")
arguments.add_argument("--code-page", type=int, default=1252)
arguments.add_argument("--sweep-only", action="store_true")
args = arguments.parse_args()
data = json.loads(Path(args.core_data).read_text(encoding="utf-8"))
prefix = Path(re.search(r'^export WINEPREFIX="(.*)"$', Path(args.wine_run).read_text(), re.M).group(1))
drive_c = prefix / "drive_c"
virtual_store = drive_c / "users" / pwd.getpwuid(os.getuid()).pw_name / "AppData/Local/VirtualStore"
caption = data["captions"]


class Failed(AssertionError):
    pass


def step(message: str) -> None:
    print(f"e2e: {message}", flush=True)


def wait_until(predicate, timeout: float, message: str):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failed(message)
        time.sleep(0.1)


def xdotool(*words: str) -> str:
    return subprocess.run(["xdotool", *words], capture_output=True, text=True, timeout=20).stdout


def windows(title: str) -> list[str]:
    return xdotool("search", "--name", f"^{re.escape(title)}$").split()


def window(title: str, timeout: float = 30) -> str:
    return wait_until(lambda: (windows(title) or [None])[0], timeout, f"no window titled {title!r}")


def gone(title: str, count: int = 0, timeout: float = 10) -> None:
    wait_until(lambda: len(windows(title)) <= count, timeout, f"the window {title!r} stays")


def key(*keys: str) -> None:
    for each in keys:
        xdotool("key", each)
        time.sleep(0.15)


def texts(title: str) -> list[str]:
    done = subprocess.run([args.wine_run, args.window_texts, title], capture_output=True, timeout=60)
    return done.stdout.decode("utf-8", "replace").splitlines()


def answer_box(title: str, expected: str | None = None) -> list[str]:
    """Waits for a message box titled `title` over the program's windows, reads it, presses OK."""
    before = 1 if title == caption["Form1"] else 0  # the main window has the program's title too
    wait_until(lambda: len(windows(title)) > before, 15, f"no message box titled {title!r}")
    time.sleep(0.3)
    shown = texts(title)
    if expected is not None and not any(expected in line for line in shown):
        raise Failed(f"the box {title!r} says {shown}, not {expected!r}")
    key("Return")
    gone(title, before)
    return shown


def file_is(path: Path, content: bytes, timeout: float = 5) -> None:
    wait_until(lambda: path.exists() and path.read_bytes() == content, timeout,
               f"{path} holds {path.read_bytes() if path.exists() else 'nothing'!r}, not {content!r}")


def wait_gone(path: Path, timeout: float = 20) -> float:
    start = time.monotonic()
    wait_until(lambda: not path.exists(), timeout, f"{path} was not deleted")
    return time.monotonic() - start


def windows_path(path: Path) -> str:
    """The name Wine gives a Unix path: C: for the prefix's drive, Z: for the rest."""
    with contextlib.suppress(ValueError):
        return "C:\\" + "\\".join(path.relative_to(drive_c).parts)
    return "Z:" + str(path).replace("/", "\\")


def list_order(names: list[str]) -> list[str]:
    """Subdirectories in the directory list's order: without regard to case."""
    return sorted(names, key=lambda name: (name.lower(), name))


def subdirectories(path: Path) -> list[str]:
    return list_order([entry.name for entry in path.iterdir() if entry.is_dir()])


def drives() -> list[str]:
    return sorted(name[0].upper() + ":\\" for name in os.listdir(prefix / "dosdevices") if re.fullmatch(r"[a-z]:", name))


def menu_keys(command: str) -> list[str]:
    """The keys that choose a command of the main window's menu bar: Alt selects the bar, Right goes
    along it, Down opens a title's menu and moves down it, Right opens a submenu, Return chooses."""
    def find(items, path):
        for index, item in enumerate(items):
            if item["command"] == command:
                return [*path, index]
            if item["children"] and (found := find(item["children"], [*path, index])):
                return found
        return None
    path = find(data["mainMenuBar"], [])
    keys = ["alt", *["Right"] * path[0]]
    for depth, index in enumerate(path[1:]):
        keys += ["Down" if depth == 0 else "Right", *["Down"] * index]
    return keys + ["Return"]


def layout(name: str) -> dict:
    return next(window for window in data["windows"] if window["name"] == name)


def client_origin(window_id: str, form: str) -> tuple[int, int]:
    """Where a window's client area is on the screen: Wine draws the frame inside the X window,
    the client area at its bottom within an equal border."""
    fields = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", window_id).splitlines()
                  if "=" in line)
    x, y, width, height = (int(fields[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))
    client_width, client_height = (round(twips / 15) for twips in layout(form)["client"])
    border = (width - client_width) // 2
    return x + border, y + height - border - client_height


def click_control(form: str, control: str) -> None:
    """A click in the middle of a control of the window, at its place in the core's layout."""
    x, y = client_origin(window(caption[form]), form)
    controls = {each["name"]: each for each in layout(form)["controls"]}
    left, top, width, height = controls[control]["rect"]
    if parent := controls[control]["parent"]:
        left, top = left + controls[parent]["rect"][0], top + controls[parent]["rect"][1]
    xdotool("mousemove", str(x + round((left + width / 2) / 15)), str(y + round((top + height / 2) / 15)),
            "click", "1")
    time.sleep(0.3)


class Program:
    """The program started by Wine in a working directory."""

    def __init__(self, cwd: Path):
        self.process = subprocess.Popen([args.wine_run, args.program], cwd=cwd)
        self.window = window(caption["Form1"])
        time.sleep(1)
        self.client = client_origin(self.window, "Form1")

    def click(self, x: int, y: int) -> None:
        xdotool("mousemove", str(self.client[0] + x), str(self.client[1] + y), "click", "1")
        time.sleep(0.3)

    def turn_on(self) -> None:
        click_control("Form1", "Command1")

    def command(self, name: str, opens: str | None = None) -> str | None:
        self.click(2, 2)  # the main window's own face: it takes the keyboard
        key(*menu_keys(name))
        return window(opens) if opens else None

    def save_delay(self, text: str) -> None:
        """Auto Delete opened from the menu, the delay box's text replaced, Save pressed."""
        self.command("OpenAutoDelete", caption["Form3"])
        key("Tab", "ctrl+a", "BackSpace")  # from Save, which has the focus, to the box
        xdotool("type", "--delay", "100", text)
        click_control("Form3", "Command1")

    def open_directory(self, downs: int | None = None) -> None:
        """MM2 Directory opened from the menu; with `downs`, the list's entry that many below its
        first opened (Home, Down, Enter)."""
        self.command("OpenGameDirectory", caption["Form2"])
        if downs is not None:
            key("Home", *["Down"] * downs, "Return")

    def save_directory(self) -> None:
        click_control("Form2", "Command1")

    def exit(self) -> None:
        self.command("Exit")
        wait_until(lambda: self.process.poll() is not None, 15, "the program did not end after File > Exit")
        if self.process.returncode != 0:
            raise Failed(f"the program ended with status {self.process.returncode}")

    def kill(self) -> None:
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


@contextlib.contextmanager
def program_in(cwd: Path):
    started = Program(cwd)
    try:
        yield started
    finally:
        started.kill()
        gone(caption["Form1"], timeout=15)


@contextlib.contextmanager
def read_only(directory: Path):
    """The directory as a user without elevation meets Program Files: Wine has no UAC, and as root
    a read-only bind mount is what makes the system refuse a write with ERROR_ACCESS_DENIED."""
    subprocess.run(["mount", "--bind", str(directory), str(directory)], check=True)
    try:
        subprocess.run(["mount", "-o", "remount,bind,ro", str(directory)], check=True)
        yield directory
    finally:
        subprocess.run(["umount", str(directory)], check=True)


def sweeps(work: Path) -> None:
    """Turned on, the lock file goes; then a game under Program Files (x86) in a Cyrillic folder,
    its lock file in the user's virtual store and beside it, both swept; File > Exit."""
    scratch = work / "game dir"
    scratch.mkdir()
    lock = scratch / "MM2.LOCK"
    lock.write_bytes(b"")
    (scratch / "Directory.txt").write_bytes(windows_path(lock).encode() + CRLF)
    (scratch / "AutoDelete.txt").write_bytes(b"300" + CRLF)
    with program_in(scratch) as program:
        program.turn_on()
        wait_gone(lock)
        step("lock file deleted after Turn ON")
        # Wine does not virtualize: the copy is put where Windows leaves it for the unelevated
        # game. Directory.txt holds the path as it is saved here: where the ANSI code page cannot
        # spell it, UTF-8 behind a byte-order mark; on a Cyrillic system in its code page, as the
        # original program saved it. The sweep, still on, reads it afresh.
        game = drive_c / "Program Files (x86)/Игры/Midtown Madness 2"
        copy = virtual_store / "Program Files (x86)/Игры/Midtown Madness 2"
        game.mkdir(parents=True)
        copy.mkdir(parents=True)
        (copy / "MM2.LOCK").write_bytes(b"")
        line = windows_path(game / "MM2.LOCK")
        (scratch / "Directory.txt").write_bytes(
            line.encode("cp1251") + CRLF if args.code_page == 1251 else b"\xef\xbb\xbf" + line.encode() + CRLF)
        wait_gone(copy / "MM2.LOCK")
        (copy / "MM2.LOCK").write_bytes(b"")
        (game / "MM2.LOCK").write_bytes(b"")
        wait_gone(copy / "MM2.LOCK")
        wait_gone(game / "MM2.LOCK")
        shutil.rmtree(drive_c / "Program Files (x86)/Игры")
        shutil.rmtree(virtual_store, ignore_errors=True)
        step("lock files in the virtual store and beside it deleted, through a Cyrillic folder")
        program.exit()
        step("closed through File > Exit")


def saves_twice_and_reaches_every_drive(work: Path) -> None:
    """Each settings file saved twice, the game directory once at the drive's root; then a game on
    C: chosen from the list of a program started on Z:, saved and swept."""
    with program_in(work) as program:
        for delay in ("111", "222"):
            program.save_delay(delay)
            answer_box(data["saved"]["Form3"][1], data["saved"]["Form3"][0])
            gone(caption["Form3"])
            file_is(work / "AutoDelete.txt", delay.encode() + CRLF)
        step("the delay saved twice")

        # Z:\ is the entry after every drive before it, at the top of the list.
        program.open_directory(downs=drives().index("Z:\\"))
        program.save_directory()
        answer_box(data["saved"]["Form2"][1], data["saved"]["Form2"][0])
        file_is(work / "Directory.txt", b"Z:\\\\MM2.LOCK" + CRLF)
        step("the game directory saved at the drive's root")

        game = drive_c / "Games/Midtown Madness 2"
        game.mkdir(parents=True)
        try:
            program.open_directory(downs=drives().index("C:\\"))  # C:\ opened: its root is the value
            key("Home", *["Down"] * (1 + subdirectories(drive_c).index("Games")), "Return", "Down", "Return")
            program.save_directory()
            answer_box(data["saved"]["Form2"][1])
            file_is(work / "Directory.txt", b"C:\\Games\\Midtown Madness 2\\MM2.LOCK" + CRLF)
            step("a game on another drive chosen from the list and saved, the second save of the file")
            (game / "MM2.LOCK").write_bytes(b"")
            program.turn_on()
            wait_gone(game / "MM2.LOCK")
            step("its lock file swept")
            program.exit()
        finally:
            shutil.rmtree(drive_c / "Games")


def saves_where_windows_put_the_originals(work: Path) -> None:
    """Started in the game's own folder under Program Files (x86), which it may not write: both
    files are saved into the virtual store, the saved path is shown again although an older
    Directory.txt lies in the folder, and the lock file is swept at the saved delay. A read-only
    folder elsewhere still says that it cannot be saved."""
    game = drive_c / "Program Files (x86)/Midtown Madness 2"
    store = virtual_store / "Program Files (x86)/Midtown Madness 2"
    old = drive_c / "Old"
    game.mkdir(parents=True)
    old.mkdir()
    (game / "Directory.txt").write_bytes(windows_path(old / "MM2.LOCK").encode() + CRLF)
    try:
        with read_only(game), program_in(game) as program:
            program.save_delay("400")
            answer_box(data["saved"]["Form3"][1], data["saved"]["Form3"][0])
            file_is(store / "AutoDelete.txt", b"400" + CRLF)
            program.open_directory()
            program.save_directory()
            answer_box(data["saved"]["Form2"][1], data["saved"]["Form2"][0])
            saved = windows_path(game / "MM2.LOCK")
            file_is(store / "Directory.txt", saved.encode() + CRLF)
            step("both settings saved into the virtual store")
            program.open_directory()
            shown = texts(caption["Form2"])
            if saved not in shown:
                raise Failed(f"the reopened window shows {shown}, not {saved!r}")
            step("the saved path shown again, not the folder's older one")
            key("alt+F4")
            gone(caption["Form2"])
            (store / "MM2.LOCK").write_bytes(b"")
            (old / "MM2.LOCK").write_bytes(b"")
            program.turn_on()
            # At the saved 400 ms from the refresher's first tick; the initial 10 s would take 11.
            if wait_gone(store / "MM2.LOCK", timeout=20) > 5:
                raise Failed("the lock file was not swept at the saved delay")
            if not (old / "MM2.LOCK").exists():
                raise Failed("the folder's older path was swept")
            step("the game's lock file swept at the saved delay")
            program.exit()
    finally:
        shutil.rmtree(game, ignore_errors=True)
        shutil.rmtree(old, ignore_errors=True)
        shutil.rmtree(virtual_store, ignore_errors=True)

    elsewhere = work / "read-only"
    elsewhere.mkdir()
    with read_only(elsewhere), program_in(elsewhere) as program:
        program.save_delay("500")
        answer_box(caption["Form1"], "Could not save AutoDelete.txt")
        window(caption["Form3"], timeout=2)  # the window stays, with what it holds
        if (elsewhere / "AutoDelete.txt").exists() or virtual_store.exists():
            raise Failed("a refused save outside Program Files wrote a file")
        step("a read-only folder outside Program Files still says that it cannot be saved")
        program.exit()


def main() -> int:
    step(f"{args.program} (ANSI code page {args.code_page})")
    work = Path(tempfile.mkdtemp(prefix="latchsweep-e2e "))
    scenarios = [sweeps]
    if not args.sweep_only:
        scenarios += [saves_twice_and_reaches_every_drive]
        if os.geteuid() == 0:
            scenarios += [saves_where_windows_put_the_originals]
        else:
            step("not root: the read-only bind mounts that stand in for Program Files are not run")
    try:
        for scenario in scenarios:
            (work / scenario.__name__).mkdir()
            scenario(work / scenario.__name__)
    except Failed as failure:
        print(f"End-to-end check failed: {failure}", file=sys.stderr)
        subprocess.run(["import", "-window", "root", str(Path(args.program).parent / "e2e-failure.png")])
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
