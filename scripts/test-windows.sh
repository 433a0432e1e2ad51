#!/usr/bin/env bash
# Cross-builds the Windows game (32-bit, MinGW-w64) with its tests and runs them under Wine, in
# a Wine prefix of the build tree's own. Needs what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

start=$(date +%s)
stop_wine() {
  # The Wine server that the tests kept running, and Wine's services with it.
  if [ -d build/windows/wine-prefix ]; then
    WINEPREFIX="$PWD/build/windows/wine-prefix" wineserver -k 2>/dev/null || true
  fi
}
trap stop_wine EXIT

status=0
cmake --workflow --preset windows || status=1

# clang-tidy over the Windows-only sources (the Linux checks cannot see them), as clang reads
# MinGW's headers; any finding fails the run.
tidy_windows() {
  local gcc=/usr/lib/gcc/i686-w64-mingw32/12-posix/include
  run-clang-tidy -j "$(nproc)" -quiet -p build/windows \
    -extra-arg=--target=i686-w64-mingw32 -extra-arg=-Wno-unknown-warning-option \
    -extra-arg=-isystem"$gcc/c++" -extra-arg=-isystem"$gcc/c++/i686-w64-mingw32" \
    -extra-arg=-isystem/usr/i686-w64-mingw32/include \
    '/(app/WindowsPlatform|speech/windows/|ui/win32/.*[.]cpp|tests/windows/)' \
    >build/windows/clang-tidy.log 2>&1
  local result=$?
  grep -E '(warning|error): ' build/windows/clang-tidy.log | sort -u
  return $result
}
tidy_started=$(date +%s)
tidy_windows || { echo "*** clang-tidy of the Windows sources: FAILED"; status=1; }
echo "=== clang-tidy of the Windows sources: $(($(date +%s) - tidy_started)) s ==="
echo "=== Windows build and tests: $(($(date +%s) - start)) s ==="
exit $status
