#!/usr/bin/env bash
# The portable ZIP a Windows player unzips, made by cpack from the Windows build folder: one
# folder holding the program, its puzzles, its sounds and the players' README.txt; the unzipped
# program, run under Wine (the build's emulator), finds its puzzles and sounds beside it.
set -euo pipefail
build=$1 emulator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the ZIP"; }
zip=$(echo "$work"/orvanta-*-windows.zip)
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/$(basename "$zip" .zip)
for file in orvanta.exe README.txt ZONTARY.WAV spin.wav Puzzles/animals.orp; do
  [ -f "$folder/$file" ] || fail "the ZIP lacks $file beside the program"
done

(cd "$work" && printf 'dump\nmenu mnuFExit\nanswer Yes\n' |
  "$emulator" "$folder/orvanta.exe" --script --rand 0.1,0.1 >"$work/game.jsonl") ||
  { cat "$work/game.jsonl"; fail "the unzipped game did not end normally"; }
grep -q 'orvanta-[^"]*-windows[^"]*ZONTARY.WAV"' "$work/game.jsonl" ||
  fail "the unzipped game did not find its sounds beside it: $(head -c 2000 "$work/game.jsonl")"
grep -q '"event":"state".*"txtCategory":"[A-Z]' "$work/game.jsonl" ||
  fail "the unzipped game shows no puzzle"
echo "$(basename "$zip") is good"
