"""The command line and a start without a display: what the program prints and its exit status.
The task-bar hints and the wrapped menu bar are tried on real desktops in test_desktops.py."""

from __future__ import annotations

import itertools
import os
import subprocess
from pathlib import Path



def test_command_line_and_no_display(executable, tmp_path):
    absent = next(f":{n}" for n in itertools.count(4000) if not Path(f"/tmp/.X11-unix/X{n}").exists())
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    for args, status, out, err in [
            (["--version"], 0, "Latchsweep 1.00\n", ""),
            (["--help"], 0, "Usage: latchsweep [OPTION]...\n", ""),
            ([], 1, "", "latchsweep: no display to open: DISPLAY is not set\n"),
            (["-display", absent], 1, "", f"latchsweep: cannot open display '{absent}'\n"),
            (["--frobnicate"], 2, "", "latchsweep: unrecognized option '--frobnicate'\n"
                                      "Try 'latchsweep --help' for more information.\n")]:
        done = subprocess.run([str(executable), *args], capture_output=True, text=True, timeout=20, env=env,
                              stdin=subprocess.DEVNULL)
        assert (done.returncode, done.stderr) == (status, err), args
        assert done.stdout == out or (args == ["--help"] and done.stdout.startswith(out)), args
    # A Wayland display that is named but does not answer is no display either, where Qt would abort.
    done = subprocess.run([str(executable)], capture_output=True, text=True, timeout=20, stdin=subprocess.DEVNULL,
                          env=dict(env, WAYLAND_DISPLAY="wayland-absent", XDG_RUNTIME_DIR=str(tmp_path)))
    assert (done.returncode, done.stderr) == (1, "latchsweep: no display to open: DISPLAY is not set\n")
