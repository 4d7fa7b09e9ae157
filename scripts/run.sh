#!/usr/bin/env bash
# Builds and starts Latchsweep. Its settings (Directory.txt, AutoDelete.txt) and help.txt live in
# the working directory: by default run/ in this checkout, or the directory named by
# LATCHSWEEP_WORKDIR. Without a display it starts a virtual one (Xvfb) with a tray host.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh run
cmake --preset release >/dev/null
cmake --build --preset release

workdir="${LATCHSWEEP_WORKDIR:-$root/run}"
mkdir -p "$workdir"
[ -e "$workdir/help.txt" ] || cp resources/help.txt "$workdir/help.txt" 2>/dev/null || true

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d)"
  export XDG_RUNTIME_DIR
fi

if [ -z "${DISPLAY:-}" ]; then
  display=:77
  while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=":$(( ${display#:} + 1 ))"; done
  echo "No display: starting Latchsweep on the virtual X display $display (Xvfb) with a tray host (trayer)."
  echo "Take a look with: DISPLAY=$display import -window root shot.png"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb ${tray:-} 2>/dev/null || true' EXIT
  export DISPLAY="$display"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  trayer --edge top --align right --widthtype pixel --width 200 --height 32 >/dev/null 2>&1 &
  tray=$!
fi

echo "Working directory: $workdir"
cd "$workdir"
"$root/build/release/qt/latchsweep"
