#!/usr/bin/env bash
# The .deb a player installs, made by cpack from a build folder: what it holds and depends on,
# what lintian says of it, and a short game played in script mode by the unpacked /usr/bin/orvanta
# (which must find its puzzles and sounds under /usr/share/orvanta).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$(echo "$work"/orvanta_*.deb)

contents=$(dpkg-deb -c "$deb")
for path in usr/bin/orvanta usr/share/orvanta/Puzzles/animals.orp usr/share/orvanta/spin.wav \
  usr/share/orvanta/ZONTARY.WAV usr/share/applications/orvanta.desktop \
  usr/share/icons/hicolor/48x48/apps/orvanta.png usr/share/icons/hicolor/scalable/apps/orvanta.svg \
  usr/share/doc/orvanta/copyright; do
  grep -q " \./$path\$" <<<"$contents" || fail "the package lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libwx libgtk-3 libspeechd libespeak-ng libsdl2; do
  grep -q "$library" <<<"$depends" || fail "Depends names no $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the section is not games"

# Errors fail; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

dpkg-deb -x "$deb" "$work/root"
printf 'dump\nmenu mnuFExit\nanswer Yes\n' |
  "$work/root/usr/bin/orvanta" --script --rand 0.1,0.1 >"$work/game.jsonl" ||
  { cat "$work/game.jsonl"; fail "the packaged game did not end normally"; }
grep -q '"file":"[^"]*/usr/share/orvanta/ZONTARY.WAV"' "$work/game.jsonl" ||
  fail "the packaged game did not find its sounds under /usr/share/orvanta"
grep -q '"event":"state".*"txtCategory":"[A-Z]' "$work/game.jsonl" ||
  fail "the packaged game shows no puzzle: $(cat "$work/game.jsonl")"
grep -q '"event":"exit","code":0' "$work/game.jsonl" || fail "no exit event"
echo "package $(basename "$deb") is good"
