#!/usr/bin/env bash
# The Windows leg of the test command: cross-builds the programs and the test suites
# for 64-bit Windows with MinGW-w64 and runs them under Wine:
#   1. the test suites, except those labelled posix-only;
#   2. the portable folder from `cmake --install`, zipped and unpacked into a folder
#      whose name has an accent and a space, running quiet requests on accented names,
#      with '\' and '/' paths, a merge saved over one of its inputs and a log;
#   3. the window on a virtual display: its title is found and a picture of it is
#      kept as build-win/window.png;
#   4. the installer and the portable zip from `cpack`: a silent per-user install,
#      its shortcuts, uninstall key and version, the "Send to" merge opening the
#      window, long paths, and a silent uninstall that leaves nothing behind
#      (scripts/check-windows-installer.sh).
# The Windows libraries (Qt, qpdf, GoogleTest) come from ../shared/windows-sdk when it
# is there (or from the archive PAGEMELD_WINDOWS_SDK names); otherwise scripts/build-windows-sdk.sh builds them from Debian's sources
# (20 to 45 minutes on two cores, once).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

scripts/install-deps.sh windows

sdk=$root/build-win-sdk
prefix=$sdk/prefix
shared_sdk=${PAGEMELD_WINDOWS_SDK:-$root/../shared/windows-sdk/prefix.tar.zst}
if [[ -f $shared_sdk ]]; then
    if [[ ! -f $sdk/unpacked || $shared_sdk -nt $sdk/unpacked ]]; then
        echo "== Unpacking the Windows libraries from $shared_sdk"
        rm -rf "$prefix"
        mkdir -p "$sdk"
        tar --zstd -xf "$shared_sdk" -C "$sdk"
        touch "$sdk/unpacked"
    fi
elif [[ ! -f $prefix/share/winsdk/runtime.done ]]; then
    echo "== Building the Windows libraries from Debian's sources (20 to 45 minutes, once)"
    JOBS=$(nproc) scripts/build-windows-sdk.sh "$prefix" "$sdk/work"
fi

# Wine: its own prefix in the build folder, no installer dialogs, no menu entries on
# the host for the shortcuts the installer makes, UTF-8 arguments, and the DLLs of the
# library prefix found from anywhere.
export LC_ALL=C.UTF-8
export WINEPREFIX=$sdk/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH
WINEPATH=$(windows_path "$prefix/bin")
[[ -f $WINEPREFIX/system.reg ]] || "$wine" wineboot -i >/dev/null 2>&1

echo "== Cross-building for Windows"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# -O2: GCC 12's -O3 warns wrongly (-Wrestrict) inside std::string.
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/toolchain-mingw.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
    -DPAGEMELD_WERROR=ON -DPAGEMELD_BUILD_BENCH=OFF "${launcher[@]}" >"$sdk/configure.log" ||
    { cat "$sdk/configure.log"; exit 1; }
cmake --build build-win -j "$(nproc)"

echo "== Test suites under Wine (posix-only, host-fonts and virtual-screen tests left out by label)"
for label in posix-only host-fonts virtual-screen; do
    excluded=$(ctest --test-dir build-win -N -L "$label" | sed -n 's/^Total Tests: //p')
    echo "$label tests not run under Wine: ${excluded:-0}"
done
# A wineserver exits a moment after its last client, and a test starting just then can
# find it gone ("wine client error"). It is not kept running instead: Wine's service
# processes would live on holding the first test's output pipe, and ctest would wait.
run_windows_tests() {
    ctest --test-dir build-win -LE 'posix-only|host-fonts|virtual-screen' --output-on-failure \
        -j "$(nproc)" --timeout 900 "$@" >>build-win/ctest.log 2>&1
}
: >build-win/ctest.log
if ! run_windows_tests; then
    # A test that lost Wine itself is run once more; any other failure stands.
    if ! grep -q 'wine client error' build-win/ctest.log || ! run_windows_tests --rerun-failed; then
        tail -n 300 build-win/ctest.log
        echo "Windows test run failed; the whole log is build-win/ctest.log" >&2
        exit 1
    fi
    echo "Tests that lost their Wine server passed when run again (build-win/ctest.log)"
fi
tail -n 3 build-win/ctest.log

scripts/check-windows-folder.sh build-win
scripts/check-windows-installer.sh build-win

echo "== Windows leg took $((SECONDS - started)) s"
