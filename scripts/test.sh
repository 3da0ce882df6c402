#!/usr/bin/env bash
# Sets up a fresh Debian/Ubuntu machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DPAGEMELD_WERROR=ON
echo "== Windows-only sources compile with MinGW"
scripts/check-windows-syntax.sh
echo "== Test suites"
# The window's tests run without a display.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 1200
