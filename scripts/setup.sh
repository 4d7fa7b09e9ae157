#!/usr/bin/env bash
# Installs the Debian packages a task needs, only where one is missing.
#   scripts/setup.sh run    what building and running the program needs
#   scripts/setup.sh test   what every test needs (Linux, Windows cross builds under Wine, fuzzing)
set -euo pipefail

run_packages=(cmake ninja-build g++ pkgconf qt6-base-dev qt6-qpa-plugins fonts-liberation2 libgl1-mesa-dev libxcb1-dev
  libxcb-xfixes0-dev xvfb trayer x11-utils python3)
test_packages=("${run_packages[@]}" googletest libgtest-dev libbenchmark-dev clang clang-format libclang-rt-14-dev xdotool
  imagemagick python3-pytest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64
  desktop-file-utils appstream appstream-compose lintian man-db zip dpkg-dev file procps openbox xfwm4
  xfce4-panel dbus dbus-x11 libglib2.0-bin qt6-wayland sway waybar grim wtype python3-pyatspi at-spi2-core
  wine32:i386 locales)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

# 32-bit Windows programs run in Wine's WoW64 prefix through Debian's i386 Wine.
if [ "${1:-}" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  if [ "$(id -u)" -ne 0 ]; then sudo dpkg --add-architecture i386; else dpkg --add-architecture i386; fi
fi

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi

# A Russian locale, whose language gives Wine the Cyrillic ANSI code page (1251) for the run of
# the Windows program on a system of another code page.
if [ "${1:-}" = test ] && ! locale -a 2>/dev/null | grep -qx 'ru_RU.utf8'; then
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo localedef -i ru_RU -c -f UTF-8 ru_RU.UTF-8
fi
