#!/usr/bin/env bash
# Builds the Windows targets for both architectures and runs every Windows test under Wine on a
# virtual display of its own: for the 64-bit build (preset windows-x64) and the 32-bit one
# (preset windows-x86-tests, in Wine's WoW64 half; only there does a callback without CALLBACK
# show), the core tests cross-built and the front-end tests; then an end-to-end run of
# latchsweep.exe that is switched on with a real click, sweeps a lock file and is closed through
# its menu, for the 64-bit build and for the 32-bit release build (windows-x86-release), the very
# program the release zip ships.
#
# Needs: cmake, ninja, g++-mingw-w64-x86-64-posix, g++-mingw-w64-i686-posix, wine, wine64,
# wine32:i386, xvfb, trayer, xdotool, x11-utils, imagemagick (for a screenshot when an
# end-to-end run fails).

set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
x64="$root/build/windows-x64"
x86="$root/build/windows-x86-tests"
x86_release="$root/build/windows-x86-release"
started=$(date +%s)

for preset in windows-x64 windows-x86-tests windows-x86-release; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
done

work=$(mktemp -d)
pids=()
# Each test build has a prefix of its own in its build tree (wine-run.sh), so that either can be
# tested alone with ctest; the two are made at once. The release build has no tests and no
# prefix: its program runs in the 32-bit test build's.
prefixes=("$x64/wineprefix" "$x86/wineprefix")
stop_wine() {
    local prefix
    for prefix in "${prefixes[@]}"; do
        WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    done
}
cleanup() {
    local status=$?
    # Wine's own processes of these prefixes, then what this script started, by id.
    stop_wine
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
stop_wine
echo "Initialising the Wine prefixes in $x64 and $x86"
"$x64/wine-run.sh" --init-only &
init_x64=$!
"$x86/wine-run.sh" --init-only
wait "$init_x64"

status=0

# --- End to end: the real program, real input -------------------------------------------------

e2e_failed() {
    echo "End-to-end check failed: $*" >&2
    import -window root "$root/build/e2e-failure.png" >/dev/null 2>&1 &&
        echo "Screenshot: $root/build/e2e-failure.png" >&2
    status=1
}

tray_icons() {
    # The icons docked in trayer's panel, its 1x1 helper window aside.
    xwininfo -tree -name panel 2>/dev/null | grep -E '^\s+0x[0-9a-f]+ .*\)\s+[0-9]+x[0-9]+' |
        grep -vc ' 1x1+' || true
}

# Whether the file is gone within 20 s.
wait_gone() {
    for _ in $(seq 1 80); do
        [ -e "$1" ] || return 0
        sleep 0.25
    done
    return 1
}

# run_end_to_end <wine-run.sh> <latchsweep.exe> [<ANSI code page>]
run_end_to_end() {
    local wine_run=$1 program=$2 code_page=${3:-1252}
    echo "e2e: $program (ANSI code page $code_page)"
    local scratch="$work/game dir"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    : >"$scratch/MM2.LOCK"
    # The lock file's Windows path: Wine's Z: drive is the root of the file system.
    printf 'Z:%s\\MM2.LOCK\r\n' "$(printf '%s' "$scratch" | tr '/' '\\')" >"$scratch/Directory.txt"
    # A short scan delay, taken at the refresher's first tick a second after Turn ON.
    printf '300\r\n' >"$scratch/AutoDelete.txt"

    local icons_before
    icons_before=$(tray_icons)
    (cd "$scratch" && exec "$wine_run" "$program") &
    local app=$!
    pids+=("$app")

    local window=""
    for _ in $(seq 1 120); do
        window=$(xdotool search --name "^${main_title}\$" 2>/dev/null | head -n 1 || true)
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

    # Wine draws the frame itself: the X window is the whole window, the client area sits at its
    # bottom inside an equal border.
    local x y width height
    eval "$(xwininfo -id "$window" | awk '
        /Absolute upper-left X/ {print "x=" $NF}
        /Absolute upper-left Y/ {print "y=" $NF}
        /Width:/ {print "width=" $NF}
        /Height:/ {print "height=" $NF}')"
    local border=$(((width - client_width) / 2))
    local client_x=$((x + border))
    local client_y=$((y + height - border - client_height))
    xdotool mousemove $((client_x + on_x)) $((client_y + on_y)) click 1
    for _ in $(seq 1 80); do
        [ -e "$scratch/MM2.LOCK" ] || break
        sleep 0.25
    done
    [ ! -e "$scratch/MM2.LOCK" ] || { e2e_failed "the lock file was not deleted"; return; }
    echo "e2e: lock file deleted after Turn ON"

    # The game as players have it: under Program Files (x86), in a Cyrillic folder, its lock file
    # where Windows' virtualization leaves it for the unelevated game (Wine does not virtualize:
    # the copy is put there by hand). Directory.txt holds the path as it is saved there: where
    # the ANSI code page cannot spell it, UTF-8 behind a byte-order mark; on a Cyrillic system,
    # in its code page without a mark, as the original program saved it. The sweep, still on,
    # reads it afresh.
    local prefix game_unix copy_unix
    prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$wine_run")
    game_unix="$prefix/drive_c/Program Files (x86)/Игры/Midtown Madness 2"
    copy_unix="$prefix/drive_c/users/$(id -un)/AppData/Local/VirtualStore/Program Files (x86)/Игры/Midtown Madness 2"
    mkdir -p "$game_unix" "$copy_unix"
    : >"$copy_unix/MM2.LOCK"
    local line='C:\Program Files (x86)\Игры\Midtown Madness 2\MM2.LOCK'
    if [ "$code_page" = 1251 ]; then
        printf '%s\r\n' "$line" | iconv -f UTF-8 -t CP1251 >"$scratch/Directory.txt"
    else
        printf '\xEF\xBB\xBF%s\r\n' "$line" >"$scratch/Directory.txt"
    fi
    wait_gone "$copy_unix/MM2.LOCK" || { e2e_failed "the virtual store's lock file was not deleted"; return; }
    : >"$copy_unix/MM2.LOCK"
    : >"$game_unix/MM2.LOCK"
    wait_gone "$copy_unix/MM2.LOCK" && wait_gone "$game_unix/MM2.LOCK" ||
        { e2e_failed "the two lock files of a virtualized game were not both deleted"; return; }
    rm -rf "$prefix/drive_c/Program Files (x86)/Игры" "$prefix/drive_c/users/$(id -un)/AppData/Local/VirtualStore"
    echo "e2e: lock files in the virtual store and beside it deleted, through a Cyrillic folder"

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

for preset in windows-x64 windows-x86-tests; do
    echo "Tests of $preset"
    ctest --preset "$preset" -j2 || status=1
done
# The main window's title, its client area and the middle of "Turn ON" in pixels at Wine's 96
# dpi, from the core's data as the Linux end-to-end suites read it.
"$x64/wine-run.sh" "$x64/tests/win32/core_data.exe" >"$work/core_data.json"
eval "$(python3 - "$work/core_data.json" <<'EOF'
import json, shlex, sys

data = json.load(open(sys.argv[1], encoding="utf-8"))
form1 = next(window for window in data["windows"] if window["name"] == "Form1")
controls = {control["name"]: control for control in form1["controls"]}
left, top, width, height = controls["Command1"]["rect"]
if parent := controls["Command1"]["parent"]:
    left, top = left + controls[parent]["rect"][0], top + controls[parent]["rect"][1]
px = lambda twips: round(twips / 15)
print(f"main_title={shlex.quote(data['captions']['Form1'])}")
print(f"client_width={px(form1['client'][0])} client_height={px(form1['client'][1])}")
print(f"on_x={px(left + width / 2)} on_y={px(top + height / 2)}")
EOF
)"
run_end_to_end "$x64/wine-run.sh" "$x64/win32/latchsweep.exe"
run_end_to_end "$x86/wine-run.sh" "$x86_release/win32/latchsweep.exe"
# The shipped program on a system whose ANSI code page is Cyrillic (ru_RU gives Windows-1251).
LATCHSWEEP_WINE_LOCALE=ru_RU.UTF-8 run_end_to_end "$x86/wine-run.sh" "$x86_release/win32/latchsweep.exe" 1251

elapsed=$(($(date +%s) - started))
if [ "$status" -eq 0 ]; then
    echo "All Windows tests passed in ${elapsed}s"
else
    echo "Windows tests FAILED after ${elapsed}s" >&2
fi
exit "$status"
