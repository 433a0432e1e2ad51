#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build and a short fuzzing run.
# Window tests run on a private X server with a window manager and a D-Bus session.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
status=0
for preset in default asan; do
  echo "=== ${preset} build ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== ${preset} tests ==="
  dbus-run-session -- tests/with-display.sh \
    ctest --preset "$preset" -j "$jobs" --timeout 300 || status=1
done

echo "=== fuzzing (short) ==="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --test-dir build/fuzz -R fuzz --output-on-failure --timeout 300 || status=1

exit $status
