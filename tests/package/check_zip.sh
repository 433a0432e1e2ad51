#!/usr/bin/env bash
# The portable ZIP a Windows player unzips, made by cpack from the Windows build folder: one
# folder holding the program, its puzzles, its sounds and the players' README.txt; the unzipped
# program is of the bitness the ZIP's name says (x64 or x86) and, run under Wine (the build's
# emulator, left out where this machine cannot run the game), finds its puzzles and sounds.
set -euo pipefail
build=$1 arch=$2 emulator=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the ZIP"; }
zip=$(echo "$work/orvanta-"*"-windows-$arch.zip")
[ -f "$zip" ] || fail "cpack made no ZIP named for $arch: $(ls "$work")"
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/$(basename "$zip" .zip)
for file in orvanta.exe README.txt ZONTARY.WAV spin.wav Puzzles/animals.orp; do
  [ -f "$folder/$file" ] || fail "the ZIP lacks $file beside the program"
done
declare -A format=([x64]=pei-x86-64 [x86]=pei-i386)
objdump -f "$folder/orvanta.exe" | grep -q "file format ${format[$arch]}\$" ||
  fail "the $arch ZIP holds a game of another bitness: $(objdump -f "$folder/orvanta.exe")"
grep -q "$arch" "$folder/README.txt" || fail "the players' README.txt does not name $arch"
if [ -z "$emulator" ]; then
  echo "$(basename "$zip") holds the $arch game (not played on this machine)"
  exit 0
fi

(cd "$work" && printf 'dump\nmenu mnuFExit\nanswer Yes\n' |
  "$emulator" "$folder/orvanta.exe" --script --rand 0.1,0.1 >"$work/game.jsonl") ||
  { cat "$work/game.jsonl"; fail "the unzipped game did not end normally"; }
grep -q 'orvanta-[^"]*-windows[^"]*ZONTARY.WAV"' "$work/game.jsonl" ||
  fail "the unzipped game did not find its sounds beside it: $(head -c 2000 "$work/game.jsonl")"
grep -q '"event":"state".*"txtCategory":"[A-Z]' "$work/game.jsonl" ||
  fail "the unzipped game shows no puzzle"
echo "$(basename "$zip") is good"
