#!/usr/bin/env bash
# Builds the program and the measuring tools in Release (build/bench) and prints every figure
# with the anchor it is compared to, measured in the same run. Takes about five minutes; not
# part of the test command.
#
#   bash scripts/bench.sh [--quick]     (--quick: fewer runs, shorter idle and accuracy runs)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench"
quick=0
[[ "${1:-}" == "--quick" ]] && quick=1

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root/bench" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null

program="$build/latchsweep/qt/latchsweep"
export LATCHSWEEP_CORE_DATA="$build/core_data"
python="python3" # measure.py needs nothing beyond the standard library

echo "== machine"
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -sr), $(nproc) cores: $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

echo "== sweep cost"
"$build/sweep_bench" --benchmark_color=false 2>&1 | tail -1

echo "== timer accuracy"
if ((quick)); then "$build/timer_accuracy" 100 200; else "$build/timer_accuracy" 100 1000; fi

echo "== start-up, memory, smallest delay, idle cost"
if ((quick)); then
  "$python" -B "$root/bench/measure.py" --program "$program" --reference "$build/reference_tray" \
    --runs 5 --idle-seconds 15 --rate-seconds 5
else
  "$python" -B "$root/bench/measure.py" --program "$program" --reference "$build/reference_tray" \
    --runs 15 --idle-seconds 60 --rate-seconds 10
fi

echo "== windows opened and closed 500 times"
# Each on a private Xvfb (the real window system, so that window icons are really handed over),
# in a scratch working directory.
window_cycles() { # program and its arguments
  local scratch display_file
  scratch="$(mktemp -d)"
  display_file="$scratch/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  local xvfb=$!
  for _ in $(seq 1 100); do [[ -s "$display_file" ]] && break; sleep 0.1; done
  (cd "$scratch" && DISPLAY=":$(head -n 1 "$display_file")" "$@") || true
  # Wine's own processes served that display: they go before it does.
  [[ -n "${WINEPREFIX:-}" ]] && { wineserver -k 2>/dev/null || true; }
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
window_cycles "$build/window_cycles_qt" 500
win_cycles="$root/build/windows-x64/tests/win32/window_cycles_win32.exe"
if [[ -x "$win_cycles" ]]; then
  WINEPREFIX="$root/build/windows-x64/wineprefix" window_cycles "$root/build/windows-x64/wine-run.sh" "$win_cycles" 500
else
  echo "Win32: not built (skipped; build the preset windows-x64)"
fi

echo "== sizes"
size_line() { # label, file
  if [[ -f "$2" ]]; then
    local stripped
    stripped="$(mktemp)"
    if strip -o "$stripped" "$2" 2>/dev/null || x86_64-w64-mingw32-strip -o "$stripped" "$2" 2>/dev/null \
       || i686-w64-mingw32-strip -o "$stripped" "$2" 2>/dev/null; then
      echo "$1: $(stat -c %s "$2") bytes, $(stat -c %s "$stripped") stripped"
    else
      echo "$1: $(stat -c %s "$2") bytes"
    fi
    rm -f "$stripped"
  else
    echo "$1: not built (skipped)"
  fi
}
size_line "Linux executable (Release, Qt shared)" "$program"
size_line "reference tray program (Release)" "$build/reference_tray"
size_line "Windows x86_64 executable (build/windows-x64)" "$root/build/windows-x64/win32/latchsweep.exe"
size_line "Windows i686 release executable (build/windows-x86-release)" \
  "$root/build/windows-x86-release/win32/latchsweep.exe"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
