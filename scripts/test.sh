#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build, the maintainer's checks
# (scripts/check-build.sh) and a short fuzzing run.
# Window tests run on a private X server with a window manager and a D-Bus session.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
status=0
# Libraries behind the window and the speech service keep caches until the process ends.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# Tests on the shared display take the keyboard focus: they run one at a time, after the rest.
display_tests='platform|atspi|e2e'
for preset in default asan; do
  echo "=== ${preset} build ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== ${preset} tests ==="
  ctest --preset "$preset" -j "$jobs" --timeout 300 -LE "$display_tests" || status=1
  echo "=== ${preset} tests on a display ==="
  dbus-run-session -- tests/with-display.sh \
    ctest --preset "$preset" --timeout 300 -L "$display_tests" || status=1
done

echo "=== the game through the real screen reader Orca, in speech and on a virtual braille display ==="
tests/orca/orca_check.py build/default/orvanta build/default/artefacts/orca || status=1

scripts/check-build.sh || status=1

echo "=== fuzzing (short) ==="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --test-dir build/fuzz -L fuzz -j "$jobs" --output-on-failure --timeout 300 || status=1

echo "=== Windows build, tests under Wine ==="
scripts/test-windows.sh || status=1

exit $status
