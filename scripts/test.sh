#!/usr/bin/env bash
# Sets up a fresh Debian/Ubuntu machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== House rules: folders include only those below them, no overlong files or functions"
python3 scripts/check-house.py
scripts/build.sh build -DPAGEMELD_WERROR=ON
echo "== Windows leg: cross-built with MinGW, run under Wine"
scripts/test-windows.sh
# The window's tests run without a display.
export QT_QPA_PLATFORM=offscreen

echo "== Test suites under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DPAGEMELD_WERROR=ON -DPAGEMELD_SANITIZE=ON -DPAGEMELD_BUILD_BENCH=OFF
# Leaks in Qt's own singletons are suppressed by library; leaks in our code still fail.
ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0" \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 1800 \
    >build-asan/ctest.log 2>&1 || {
    tail -n 400 build-asan/ctest.log
    echo "Sanitizer test run failed; the whole log is build-asan/ctest.log" >&2
    exit 1
}
tail -n 3 build-asan/ctest.log

echo "== Fuzz targets, 30 s each"
scripts/fuzz.sh 30

echo "== Test suites"
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 1200
