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
echo "=== Windows build and tests: $(($(date +%s) - start)) s ==="
exit $status
