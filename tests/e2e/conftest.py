"""Fixtures of the end-to-end suites: an X display, a tray host, and the real program.

Environment (set by tests/e2e/CMakeLists.txt):
  LATCHSWEEP_EXE          the program under test
  LATCHSWEEP_SCREENSHOTS  where screenshots are kept (a folder of the build tree)

Fixtures:
  display     session   an Xvfb server, 1280x1024x24, on a free display number; DISPLAY is
                        set for the whole session. Yields a Display (.name, .width, .height).
  tray_host   session   trayer docked at the top right, 200x32; yields a TrayHost with
                        .running(), .start(), .stop(), .restart(), .ensure_running().
  launch      function  a factory: launch(files={"Directory.txt": "...", ...},
                        wait_window=True) -> Program. A file's content is text, bytes, or a
                        function of the working directory's Path returning either (to name
                        files inside it). `wrapper` is a command that execs the program
                        (see without_file_privileges). Writes the files into a fresh scratch
                        working directory, starts the program there, waits for its main
                        window. Every program started is killed at teardown; a failing test
                        leaves a screenshot "<test>-failure.png".
  program     function  launch() with an empty working directory.
  executable  session   path of the program under test.
"""

from __future__ import annotations

import os
import shutil
import stat
import subprocess
import tempfile
from dataclasses import dataclass
from pathlib import Path

import pytest

import desktop

MAIN_WINDOW = "Latchsweep"


@dataclass
class Display:
    name: str
    width: int
    height: int


@pytest.fixture(scope="session")
def executable() -> Path:
    path = os.environ.get("LATCHSWEEP_EXE")
    if not path or not Path(path).is_file():
        pytest.exit("LATCHSWEEP_EXE must name the built latchsweep executable", returncode=2)
    return Path(path)


@pytest.fixture(scope="session")
def display():
    runtime = Path(tempfile.mkdtemp(prefix="latchsweep-runtime-"))
    runtime.chmod(0o700)
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        server.kill()
        pytest.exit("Xvfb did not start", returncode=2)
    saved = {name: os.environ.get(name) for name in ("DISPLAY", "XDG_RUNTIME_DIR")}
    os.environ["DISPLAY"] = f":{number.decode().strip()}"
    os.environ["XDG_RUNTIME_DIR"] = str(runtime)
    try:
        desktop.wait_until(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0,
                           timeout=10, message="the X server does not answer")
        width, height = desktop.screen_size()
        yield Display(os.environ["DISPLAY"], width, height)
    finally:
        server.terminate()
        try:
            server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()
        for name, value in saved.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value
        shutil.rmtree(runtime, ignore_errors=True)


class TrayHost:
    """trayer, the notification area: its "panel" window holds the embedded icons."""

    COMMAND = ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "200",
               "--height", "32", "--transparent", "false"]

    def __init__(self):
        self._process: subprocess.Popen | None = None

    def running(self) -> bool:
        return self._process is not None and self._process.poll() is None

    def start(self) -> None:
        if self.running():
            return
        self._process = subprocess.Popen(self.COMMAND, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        desktop.wait_until(lambda: desktop.tray_panel() is not None, timeout=10, message="trayer's panel did not appear")

    def stop(self) -> None:
        if self.running():
            self._process.terminate()
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        desktop.wait_until(lambda: desktop.tray_panel() is None, timeout=10, message="trayer's panel stays")

    def restart(self) -> None:
        self.stop()
        self.start()

    def ensure_running(self) -> None:
        self.start()


@pytest.fixture(scope="session")
def tray_host(display):
    host = TrayHost()
    host.start()
    yield host
    host.stop()


@pytest.hookimpl(tryfirst=True, hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, f"report_{report.when}", report)


def _make_writable(root: Path) -> None:
    for path in [root, *root.rglob("*")]:
        try:
            if path.is_dir() and not path.is_symlink():
                path.chmod(path.stat().st_mode | stat.S_IRWXU)
        except OSError:
            pass


@pytest.fixture
def launch(display, tray_host, executable, request):
    started: list[tuple[desktop.Program, Path]] = []

    def _launch(files: dict | None = None, wait_window: bool = True,
                wrapper: list[str] | None = None) -> desktop.Program:
        tray_host.ensure_running()
        root = Path(tempfile.mkdtemp(prefix="latchsweep-e2e-"))
        work = root / "work"
        work.mkdir()
        for name, content in (files or {}).items():
            target = work / name
            if callable(content):
                content = content(work)
            if isinstance(content, str):
                content = content.encode()
            target.write_bytes(content)
        program = desktop.Program(executable, work, root / "logs", wrapper).start()
        started.append((program, root))
        if wait_window:
            desktop.window_by_name(MAIN_WINDOW, timeout=15)
        return program

    yield _launch

    report = getattr(request.node, "report_call", None)
    if report is not None and report.failed:
        desktop.screenshot(f"{request.node.name}-failure")
    for program, root in started:
        program.kill()
        _make_writable(root)
        shutil.rmtree(root, ignore_errors=True)
    # The next test starts from an empty screen: nothing of this program may linger.
    desktop.wait_until(lambda: not desktop.windows_named(MAIN_WINDOW), timeout=5,
                       message="a main window outlived its program")


def without_file_privileges() -> list[str] | None:
    """A wrapper under which file permissions bind the program even when the tests run as
    root (root would write into a read-only directory); None when it cannot be had."""
    if os.geteuid() != 0:
        return []
    command = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"]
    try:
        works = subprocess.run([*command, "true"], capture_output=True, timeout=10).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        works = False
    return command if works else None


@pytest.fixture
def program(launch) -> desktop.Program:
    return launch()
