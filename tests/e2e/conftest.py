"""Fixtures: an Xvfb display and a trayer tray host for the whole run, and `launch`, which starts the
real program ($LATCHSWEEP_EXE) in a fresh working directory. Every program started is killed at
teardown; a failing test leaves a screenshot "<test>-failure.png"."""

from __future__ import annotations

import os
import shutil
import stat
import subprocess
import tempfile
from pathlib import Path
from types import SimpleNamespace

import pytest

import desktop


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
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten",
                               "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().strip().decode()
    environment = pytest.MonkeyPatch()
    environment.setenv("DISPLAY", f":{number}")
    environment.setenv("XDG_RUNTIME_DIR", str(runtime))
    try:
        desktop.wait_until(lambda: number and subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0,
                           timeout=10, message="the X server does not answer")
        yield SimpleNamespace(name=f":{number}", width=1280, height=1024)
    finally:
        server.terminate()
        server.wait(timeout=10)
        environment.undo()
        shutil.rmtree(runtime, ignore_errors=True)


class TrayHost:
    """trayer, docked at the top right: its "panel" window holds the embedded icons."""

    COMMAND = ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "200",
               "--height", "32", "--transparent", "false"]

    process: subprocess.Popen | None = None

    def start(self) -> None:
        if self.process is None or self.process.poll() is not None:
            self.process = subprocess.Popen(self.COMMAND, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        desktop.wait_until(lambda: desktop.tray_panel() is not None, timeout=10, message="no tray panel")

    def stop(self) -> None:
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        desktop.wait_until(lambda: desktop.tray_panel() is None, timeout=10, message="the tray panel stays")


@pytest.fixture(scope="session")
def tray_host(display):
    host = TrayHost()
    host.start()
    yield host
    host.stop()


@pytest.hookimpl(tryfirst=True, hookwrapper=True)
def pytest_runtest_makereport(item, call):
    report = (yield).get_result()
    setattr(item, f"report_{report.when}", report)


@pytest.fixture
def launch(display, tray_host, executable, request):
    """launch(files={"Directory.txt": ...}, tray=True, wrapper=None, bus=None, user=None) -> Program.
    A file's content is text, bytes, or a function of the working directory's Path returning
    either. With `tray` False the tray host is stopped first, with None it is left as it is
    (another desktop's tray may be there). `bus` is the session bus the program is given. A
    `user` id other than this process's runs the program as that user and group, its working
    directory and files its own. `platform` is Qt's (None: Qt's own choice); `environment` sets
    variables (None takes one away). Waits for the main window, or calls `shown`, which does on
    another display."""
    started: list[tuple[desktop.Program, Path]] = []

    def _launch(files: dict | None = None, tray: bool | None = True, wrapper: list[str] | None = None,
                bus: str | None = None, user: int | None = None, platform: str | None = "xcb",
                environment: dict | None = None, shown=None) -> desktop.Program:
        if tray is not None:
            tray_host.start() if tray else tray_host.stop()
        root = Path(tempfile.mkdtemp(prefix="latchsweep-e2e-"))
        work = root / "work"
        work.mkdir()
        for name, content in (files or {}).items():
            content = content(work) if callable(content) else content
            (work / name).write_bytes(content.encode() if isinstance(content, str) else content)
        program_file = executable
        if user is not None and user != os.geteuid():
            # The build tree may be out of that user's reach: the program runs from a copy. Its
            # runtime directory is its own too, or Qt makes one for it among everyone's temporary files.
            root.chmod(0o755)
            program_file = Path(shutil.copy2(executable, root))
            runtime = root / "runtime"
            runtime.mkdir(mode=0o700)
            for path in [runtime, work, *work.iterdir()]:
                os.chown(path, user, user)
            wrapper = ["setpriv", f"--reuid={user}", f"--regid={user}", "--clear-groups", "--",
                       "env", f"XDG_RUNTIME_DIR={runtime}", *(wrapper or [])]
        program = desktop.Program(program_file, work, root / "logs", wrapper, bus, platform, environment)
        started.append((program, root))
        (shown or (lambda: desktop.window_by_name(desktop.MAIN_WINDOW, timeout=15)))()
        return program

    yield _launch

    report = getattr(request.node, "report_call", None)
    if report is not None and report.failed:
        desktop.screenshot(f"{request.node.name}-failure")
    for program, root in started:
        program.kill()
        program.wait()
        for path in [root, *root.rglob("*")]:  # a test may have left directories read-only
            if path.is_dir() and not path.is_symlink():
                path.chmod(path.stat().st_mode | stat.S_IRWXU)
        shutil.rmtree(root, ignore_errors=True)
    desktop.wait_until(lambda: not desktop.windows_named(desktop.MAIN_WINDOW), timeout=5,
                       message="a main window outlived its program")


def without_file_privileges() -> list[str] | None:
    """A wrapper under which file permissions bind the program even when the tests run as
    root; None when it cannot be had."""
    if os.geteuid() != 0:
        return []
    command = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner", "--"]
    works = shutil.which("setpriv") and subprocess.run([*command, "true"], capture_output=True).returncode == 0
    return command if works else None
