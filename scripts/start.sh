#!/usr/bin/env bash
# Sets up a fresh Debian/Ubuntu machine, builds Ombrix Pagemeld and starts it.
# Arguments are handed to the program (for example -m a.pdf b.pdf).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
program=build/src/gui/pagemeld
if [ ! -x "$program" ]; then
    echo "The build did not make $program." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display to show the window on (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
    echo "Quiet requests need none: $program -qs file.pdf -o folder" >&2
fi
exec "$program" "$@"
