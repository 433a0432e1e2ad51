#!/usr/bin/env bash
# Cross-builds the Windows game with MinGW-w64, 64-bit and 32-bit, each with its tests and its
# ZIP, and runs the tests under Wine of the same bitness, in a Wine prefix of each build tree's
# own. Where this machine cannot run 32-bit programs (scripts/can-run-32-bit.sh; forced with
# ORVANTA_NO_32_BIT=1), the 32-bit game and its ZIP are still built and checked, not run.
# Needs what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every Windows program of the tests runs with one X display (a private Xvfb and openbox): Wine's
# desktop process, started by the first program of a prefix and shared by all that follow,
# takes the display of that program, and without one no window can be made (the game then ends
# with status 1 and the screen-reader routes find no window to speak from).
if [ -z "${ORVANTA_WINDOWS_DISPLAY:-}" ]; then
  exec env ORVANTA_WINDOWS_DISPLAY=1 tests/with-display.sh scripts/test-windows.sh "$@"
fi

start=$(date +%s)
stop_wine() {
  # The Wine servers that the tests kept running, and Wine's services with them.
  for build in build/windows-x64 build/windows-x86; do
    [ -x "$build/wine-run.sh" ] && "$build/wine-run.sh" --stop
  done
  return 0
}
trap stop_wine EXIT

status=0
echo "=== the 64-bit Windows game (x64) ==="
cmake --workflow --preset windows-x64 || status=1

echo "=== the 32-bit Windows game (x86) ==="
if scripts/can-run-32-bit.sh; then
  cmake --workflow --preset windows-x86 || status=1
else
  if [ "${ORVANTA_NO_32_BIT:-0}" = 1 ]; then
    why="ORVANTA_NO_32_BIT=1 takes the path of a machine that cannot run 32-bit programs"
  else
    why="this machine cannot run 32-bit programs (Exec format error), so 32-bit Wine cannot start"
  fi
  echo "32-bit Windows tests skipped: $why; the 32-bit game and its ZIP are built and checked"
  { cmake --preset windows-x86 && cmake --build --preset windows-x86 &&
    cpack --preset windows-x86 && tests/package/check_zip.sh build/windows-x86 x86; } ||
    status=1
fi

# clang-tidy over the Windows-only sources (the Linux checks cannot see them), as clang reads
# MinGW's headers for the 64-bit game; any finding fails the run.
tidy_windows() {
  local gcc=/usr/lib/gcc/x86_64-w64-mingw32/12-posix/include
  run-clang-tidy -j "$(nproc)" -quiet -p build/windows-x64 \
    -extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-Wno-unknown-warning-option \
    -extra-arg=-isystem"$gcc/c++" -extra-arg=-isystem"$gcc/c++/x86_64-w64-mingw32" \
    -extra-arg=-isystem/usr/x86_64-w64-mingw32/include \
    '/(app/WindowsPlatform|base/windows/|speech/windows/|ui/win32/.*[.]cpp|tests/windows/)' \
    >build/windows-x64/clang-tidy.log 2>&1
  local result=$?
  grep -E '(warning|error): ' build/windows-x64/clang-tidy.log | sort -u
  return $result
}
tidy_started=$(date +%s)
tidy_windows || { echo "*** clang-tidy of the Windows sources: FAILED"; status=1; }
echo "=== clang-tidy of the Windows sources: $(($(date +%s) - tidy_started)) s ==="
echo "=== Windows builds and tests: $(($(date +%s) - start)) s ==="
exit $status
