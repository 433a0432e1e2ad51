#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing the game need.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libgtk-3-dev libsdl2-dev
  libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng espeak-ng libespeak-ng-dev
  xvfb xauth x11-utils xdotool openbox imagemagick fonts-dejavu-core
  dbus dbus-x11 at-spi2-core python3-pyatspi sox orca
  # The real-Orca check's braille display: brltty's Virtual driver (Orca brings python3-brlapi).
  brltty
  lintian clang-tidy valgrind
  # The Windows game: cross-built 64-bit and 32-bit with MinGW-w64, tested under 64-bit Wine,
  # and under 32-bit Wine where this machine can run 32-bit programs.
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
)
runs_32_bit=no
if "$(dirname "$0")/can-run-32-bit.sh"; then
  runs_32_bit=yes
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
# 32-bit Wine comes from the i386 architecture.
if [ "$runs_32_bit" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
