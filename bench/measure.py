"""Measures the real program on an X server with a tray host: start-up time and memory against the
reference tray program, idle CPU with the sweeper on, and the rate at the smallest delay.

    python3 bench/measure.py --program PATH --reference PATH [--runs N] [--idle-seconds S]

$LATCHSWEEP_CORE_DATA names the program that writes the core's data, as for the end-to-end tests.

Each figure is printed on one line with the anchor it is compared to, measured in the same run.
Input reaches the program as a person's would (XTEST clicks, from tests/e2e/desktop.py).
"""

from __future__ import annotations

import argparse
import ctypes
import ctypes.util
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
import desktop  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


# ---------------------------------------------------------------------------------------
# The display: Xvfb and trayer, as in the end-to-end tests


class Display:
    def __init__(self):
        self.runtime = Path(tempfile.mkdtemp(prefix="latchsweep-bench-runtime-"))
        self.runtime.chmod(0o700)
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().decode().strip()
        os.environ["DISPLAY"] = f":{number}"
        os.environ["XDG_RUNTIME_DIR"] = str(self.runtime)
        os.environ.pop("DBUS_SESSION_BUS_ADDRESS", None)
        os.environ["QT_QPA_PLATFORM"] = "xcb"
        self.tray = None
        self.x11 = None
        try:
            desktop.wait_until(lambda: subprocess.run(["xdpyinfo"], capture_output=True).returncode == 0, 10)
            self.tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                                          "--width", "200", "--height", "32", "--transparent", "false"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.panel = desktop.wait_until(desktop.tray_panel, 10, message="trayer's panel did not appear")
            self.x11 = X11()
        except BaseException:
            self.close()
            raise

    def close(self):
        if self.x11:
            self.x11.close()
        for process in (self.tray, self.server):
            if process is not None and process.poll() is None:
                process.terminate()
                process.wait(timeout=10)
        shutil.rmtree(self.runtime, ignore_errors=True)


class X11:
    """Just enough Xlib to watch the tray panel's children at millisecond intervals."""

    def __init__(self):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                        ctypes.POINTER(ctypes.c_uint)]
        self.lib.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong)] + \
            [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
        self.lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.lib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
        # A child may vanish between the query and the look at it: ignore such errors.
        self._handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self.lib.XSetErrorHandler(ctypes.cast(self._handler, ctypes.c_void_p))
        self.display = self.lib.XOpenDisplay(os.environ["DISPLAY"].encode())

    def icon_count(self, panel: int) -> int:
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self.lib.XQueryTree(self.display, panel, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return 0
        icons = 0
        for i in range(count.value):
            r = ctypes.c_ulong()
            x, y = ctypes.c_int(), ctypes.c_int()
            w, h, b, d = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
            if self.lib.XGetGeometry(self.display, children[i], ctypes.byref(r), ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(w), ctypes.byref(h), ctypes.byref(b), ctypes.byref(d)):
                if w.value > 1 or h.value > 1:
                    icons += 1
        if children:
            self.lib.XFree(children)
        return icons

    def close(self):
        self.lib.XCloseDisplay(self.display)


# ---------------------------------------------------------------------------------------
# Process figures


def cpu_seconds(pid: int) -> float:
    """User + system time of the whole process, all threads, including those already ended."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def cpu_ns(pid: int) -> int:
    """Time on the CPU of the live threads, to the nanosecond (scheduler statistics)."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, ValueError):
            pass
    return total


def rss_kib(pid: int) -> int:
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


class Started:
    def __init__(self, executable: str, files: dict[str, str] | None = None):
        self.dir = Path(tempfile.mkdtemp(prefix="latchsweep-bench-"))
        for name, content in (files or {}).items():
            (self.dir / name).write_bytes(content.replace("{dir}", str(self.dir)).encode())
        self.t0 = time.monotonic()
        self.process = subprocess.Popen([str(Path(executable).resolve())], cwd=self.dir, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


# ---------------------------------------------------------------------------------------
# Inotify: every sweep opens Directory.txt, so its opens count the sweeps.


class OpenCounter:
    IN_CLOSE_NOWRITE = 0x10
    IN_OPEN = 0x20

    def __init__(self, path: Path):
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        # Closes are watched too: the kernel merges an event into an identical one still
        # queued, so only alternating open and close events count every open.
        if self.libc.inotify_add_watch(self.fd, str(path).encode(), self.IN_OPEN | self.IN_CLOSE_NOWRITE) < 0:
            raise OSError(ctypes.get_errno(), "inotify_add_watch")

    def drain(self) -> int:
        count = 0
        while True:
            try:
                data = os.read(self.fd, 65536)
            except BlockingIOError:
                return count
            offset = 0
            while offset < len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, offset)
                if mask & self.IN_OPEN:
                    count += 1
                offset += 16 + length

    def close(self):
        os.close(self.fd)


# ---------------------------------------------------------------------------------------
# The figures


def start_up(screen: Display, program: str, reference: str, runs: int) -> None:
    times: dict[str, list[float]] = {"program": [], "reference": []}
    cpu: dict[str, list[float]] = {"program": [], "reference": []}
    memory: dict[str, int] = {}
    for run in range(runs):
        for label, executable in (("program", program), ("reference", reference)):
            started = Started(executable)
            try:
                while screen.x11.icon_count(screen.panel) == 0:
                    if time.monotonic() - started.t0 > 20:
                        raise RuntimeError(f"{label}: no tray icon after 20 s")
                    time.sleep(0.001)
                times[label].append(time.monotonic() - started.t0)
                cpu[label].append(cpu_ns(started.process.pid) / 1e6)
                if run == 0:
                    time.sleep(max(0.0, 10.0 - (time.monotonic() - started.t0)))
                    memory[label] = rss_kib(started.process.pid)
            finally:
                started.stop()
            desktop.wait_until(lambda: screen.x11.icon_count(screen.panel) == 0, 10)
    program_ms = statistics.median(times["program"]) * 1000
    reference_ms = statistics.median(times["reference"]) * 1000
    print(f"start-up to tray icon embedded: program {program_ms:.0f} ms, reference {reference_ms:.0f} ms "
          f"(median of {runs}), ratio {program_ms / reference_ms:.2f} (target <= 1.20)")
    print(f"  CPU used by then: program {statistics.median(cpu['program']):.0f} ms, "
          f"reference {statistics.median(cpu['reference']):.0f} ms")
    print(f"steady memory (RSS after 10 s): program {memory['program'] / 1024:.1f} MiB, "
          f"reference {memory['reference'] / 1024:.1f} MiB, ratio {memory['program'] / memory['reference']:.2f} "
          f"(target <= 1.15)")


def switched_on(program: str, delay: str) -> Started:
    started = Started(program, {"Directory.txt": "{dir}/MM2.LOCK\r\n", "AutoDelete.txt": f"{delay}\r\n"})
    window = desktop.window_by_name(desktop.MAIN_WINDOW, timeout=15)
    desktop.click_main_button(window, "Command1")  # Turn ON
    return started


def idle_cost(program: str, reference: str, seconds: float) -> None:
    started = switched_on(program, "10000")
    yardstick = Started(reference)
    try:
        time.sleep(3)  # past start-up and the first refresher ticks
        pids = (started.process.pid, yardstick.process.pid)
        before = [(cpu_seconds(p), cpu_ns(p)) for p in pids]
        t0 = time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - t0
        after = [(cpu_seconds(p), cpu_ns(p)) for p in pids]
        per_second = [(a[0] - b[0]) * 1000 / elapsed for a, b in zip(after, before)]
        precise = [(a[1] - b[1]) / 1e6 / elapsed for a, b in zip(after, before)]
        print(f"idle cost, sweeper on at 10000 ms, {elapsed:.0f} s: program {precise[0]:.3f} ms CPU/s "
              f"({per_second[0]:.2f} by clock ticks), reference tray program {precise[1]:.3f} ms CPU/s "
              f"(target <= 1 ms CPU/s)")
    finally:
        started.stop()
        yardstick.stop()


def smallest_delay(program: str, seconds: float) -> None:
    started = switched_on(program, "1")
    try:
        counter = OpenCounter(started.dir / "Directory.txt")
        time.sleep(2.5)  # the refresher has applied the 1 ms delay
        counter.drain()
        pid = started.process.pid
        cpu0, t0 = cpu_ns(pid), time.monotonic()
        time.sleep(seconds)
        sweeps = counter.drain()
        elapsed = time.monotonic() - t0
        cpu = (cpu_ns(pid) - cpu0) / 1e6 / elapsed
        counter.close()
        print(f"smallest delay (AutoDelete.txt \"1\"): {sweeps / elapsed:.0f} sweeps/s over {elapsed:.0f} s "
              f"(ideal 1000), CPU {cpu:.0f} ms/s ({cpu / 10:.1f} % of one core)")
    finally:
        started.stop()


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--rate-seconds", type=float, default=10)
    parser.add_argument("--only", choices=["start-up", "idle", "rate"], action="append")
    args = parser.parse_args()
    screen = Display()
    try:
        if not args.only or "start-up" in args.only:
            start_up(screen, args.program, args.reference, args.runs)
        if not args.only or "rate" in args.only:
            smallest_delay(args.program, args.rate_seconds)
        if not args.only or "idle" in args.only:
            idle_cost(args.program, args.reference, args.idle_seconds)
    finally:
        screen.close()


if __name__ == "__main__":
    main()
