#!/usr/bin/env bash
# Builds the Windows targets for both architectures and runs every Windows test under Wine on a
# virtual display of its own: for the 64-bit build (preset windows-x64) and the 32-bit one
# (preset windows-x86-tests, in Wine's WoW64 half; only there does a callback without CALLBACK
# show), the core tests cross-built and the front-end tests; then the real latchsweep.exe end to
# end (tests/win32/end_to_end.py), for the 64-bit build and for the 32-bit release build
# (windows-x86-release), the very program the release zip ships. A kernel that runs no 32-bit
# programs runs the 64-bit ones alone, and says so.
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

# The 32-bit programs run in Wine's WoW64 half, where the kernel runs 32-bit code at all.
if "$x86/wine-run.sh" --32-bit-runs; then
    runs_32bit=yes
else
    runs_32bit=""
    echo "NOT RUN: the 32-bit (i686) tests and the 32-bit program end to end: this machine's kernel runs no"
    echo "32-bit programs (Exec format error). Both i686 builds are built; their tests run where it does."
fi
test_presets=(windows-x64)
[ -n "$runs_32bit" ] && test_presets+=(windows-x86-tests)
for preset in "${test_presets[@]}"; do
    echo "Tests of $preset"
    ctest --preset "$preset" -j2 || status=1
done

# --- End to end: the real program, real input (tests/win32/end_to_end.py) ---------------------
"$x64/wine-run.sh" "$x64/tests/win32/core_data.exe" >"$work/core_data.json"
end_to_end() {
    local wine_run=$1 program=$2
    shift 2
    python3 tests/win32/end_to_end.py "$wine_run" "$program" "$work/core_data.json" \
        "$x64/tests/win32/window_texts.exe" "$@" || status=1
}
end_to_end "$x64/wine-run.sh" "$x64/win32/latchsweep.exe"
if [ -n "$runs_32bit" ]; then
    # The very program the release zip ships, then once more on a system whose ANSI code page is
    # Cyrillic (ru_RU gives Windows-1251).
    end_to_end "$x86/wine-run.sh" "$x86_release/win32/latchsweep.exe"
    LATCHSWEEP_WINE_LOCALE=ru_RU.UTF-8 end_to_end "$x86/wine-run.sh" "$x86_release/win32/latchsweep.exe" \
        --code-page 1251 --sweep-only
else
    LATCHSWEEP_WINE_LOCALE=ru_RU.UTF-8 end_to_end "$x64/wine-run.sh" "$x64/win32/latchsweep.exe" \
        --code-page 1251 --sweep-only
fi

elapsed=$(($(date +%s) - started))
if [ "$status" -eq 0 ]; then
    echo "All Windows tests passed in ${elapsed}s"
else
    echo "Windows tests FAILED after ${elapsed}s" >&2
fi
exit "$status"
