#!/usr/bin/env bash
# Builds the 64-bit Windows targets (preset windows-x64) and runs every Windows test under Wine
# on a virtual display of its own: the core tests cross-built, the front-end tests, and an
# end-to-end run of latchsweep.exe that is switched on with a real click, sweeps a lock file and
# is closed through its menu. 32-bit Windows programs cannot run here: the i686 build of the
# program and of every test is compiled (preset windows-x86-tests), which is what catches a
# callback without CALLBACK, and its executable's header is checked.
#
# Needs: cmake, ninja, g++-mingw-w64-x86-64-posix, g++-mingw-w64-i686-posix, wine, wine64, xvfb, trayer, xdotool,
# x11-utils, imagemagick (for a screenshot when the end-to-end run fails).

set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
preset=windows-x64
build="$root/build/$preset"
started=$(date +%s)

cmake --preset "$preset"
cmake --build --preset "$preset" -j2

work=$(mktemp -d)
pids=()
export WINEPREFIX="$build/wineprefix"
cleanup() {
    local status=$?
    # Wine's own processes of this prefix, then what this script started, by id.
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# A display of our own (Xvfb picks a free number) with a notification area on it (trayer),
# which Wine docks the programs' tray icons into.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$work/display")"
trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)

# A Wine server left from an earlier run would still talk to that run's display.
wineserver -k >/dev/null 2>&1 || true
echo "Initialising the Wine prefix in $WINEPREFIX"
"$build/wine-run.sh" --init-only

status=0
ctest --preset "$preset" -j2 || status=$?

# --- End to end: the real program, real input -------------------------------------------------

e2e_failed() {
    echo "End-to-end check failed: $*" >&2
    import -window root "$build/e2e-failure.png" >/dev/null 2>&1 &&
        echo "Screenshot: $build/e2e-failure.png" >&2
    status=1
}

tray_icons() {
    # The icons docked in trayer's panel, its 1x1 helper window aside.
    xwininfo -tree -name panel 2>/dev/null | grep -E '^\s+0x[0-9a-f]+ .*\)\s+[0-9]+x[0-9]+' |
        grep -vc ' 1x1+' || true
}

run_end_to_end() {
    local scratch="$work/game dir"
    mkdir -p "$scratch"
    : >"$scratch/MM2.LOCK"
    # The lock file's Windows path: Wine's Z: drive is the root of the file system.
    printf 'Z:%s\\MM2.LOCK\r\n' "$(printf '%s' "$scratch" | tr '/' '\\')" >"$scratch/Directory.txt"
    # A short scan delay, taken at the refresher's first tick a second after Turn ON.
    printf '300\r\n' >"$scratch/AutoDelete.txt"

    local icons_before
    icons_before=$(tray_icons)
    (cd "$scratch" && exec "$build/wine-run.sh" "$build/win32/latchsweep.exe") &
    local app=$!
    pids+=("$app")

    local window=""
    for _ in $(seq 1 120); do
        window=$(xdotool search --name '^Latchsweep$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.25
    done
    [ -n "$window" ] || { e2e_failed "no main window"; return; }
    echo "e2e: main window shown"
    sleep 1

    local icons_after
    icons_after=$(tray_icons)
    [ "$icons_after" -gt "$icons_before" ] || { e2e_failed "no tray icon ($icons_before -> $icons_after)"; return; }
    echo "e2e: tray icon present"

    # Wine draws the frame itself: the X window is the whole window, the client area (312 x 66
    # pixels at 96 dpi) sits at its bottom inside an equal border.
    local x y width height
    eval "$(xwininfo -id "$window" | awk '
        /Absolute upper-left X/ {print "x=" $NF}
        /Absolute upper-left Y/ {print "y=" $NF}
        /Width:/ {print "width=" $NF}
        /Height:/ {print "height=" $NF}')"
    local border=$(((width - 312) / 2))
    local client_x=$((x + border))
    local client_y=$((y + height - border - 66))
    # "Turn ON": 16, 16, 137 x 25 in the client area.
    xdotool mousemove $((client_x + 84)) $((client_y + 28)) click 1
    for _ in $(seq 1 80); do
        [ -e "$scratch/MM2.LOCK" ] || break
        sleep 0.25
    done
    [ ! -e "$scratch/MM2.LOCK" ] || { e2e_failed "the lock file was not deleted"; return; }
    echo "e2e: lock file deleted after Turn ON"

    # File > Exit: the File title at the left of the menu bar, Exit just below the bar.
    xdotool mousemove $((client_x + 14)) $((client_y - 10)) click 1
    sleep 0.7
    xdotool mousemove $((client_x + 22)) $((client_y + 10)) click 1
    local ended=""
    for _ in $(seq 1 60); do
        if ! kill -0 "$app" 2>/dev/null; then
            ended=yes
            break
        fi
        sleep 0.25
    done
    [ -n "$ended" ] || { e2e_failed "the program did not end after File > Exit"; return; }
    wait "$app" || { e2e_failed "the program ended with status $?"; return; }
    sleep 0.5
    [ "$(tray_icons)" -eq "$icons_before" ] || { e2e_failed "the tray icon stayed after Exit"; return; }
    echo "e2e: closed through File > Exit, tray icon removed"
}

run_end_to_end

# --- 32-bit: everything compiles, and the header asks for what the program needs ---------------
echo "Compiling the i686 program and tests"
if ! { cmake --preset windows-x86-tests >/dev/null && cmake --build --preset windows-x86-tests -j2 &&
    ctest --preset windows-x86-tests; }; then
    echo "The i686 build failed" >&2
    status=1
fi

elapsed=$(($(date +%s) - started))
if [ "$status" -eq 0 ]; then
    echo "All Windows tests passed in ${elapsed}s"
else
    echo "Windows tests FAILED after ${elapsed}s" >&2
fi
exit "$status"
