#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# `install-deps.sh windows` adds what the Windows leg of the tests needs: the MinGW-w64
# cross compiler (posix threads), Wine to run its programs, a virtual display.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache python3
    libqpdf-dev qpdf
    libmimalloc-dev
    qt6-base-dev
    qt6-translations-l10n
    libgtest-dev libgmock-dev
    parallel  # GNU parallel: the batch example and its test
    clang libclang-rt-dev
)
if [[ "${1:-}" == windows ]]; then
    packages+=(
        g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
        qt6-base-dev-tools
        wine64 wine
        xvfb xauth x11-utils xdotool zstd
        nsis
    )
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
