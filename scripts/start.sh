#!/usr/bin/env bash
# Sets up a fresh Debian/Ubuntu machine, builds Ombrix Pagemeld and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
if [ -x build/src/gui/pagemeld ]; then
    exec build/src/gui/pagemeld "$@"
fi
echo
echo "Built the PDF engine and its libraries in build/."
echo "The window (build/src/gui/pagemeld) is not part of this version yet;"
echo "run scripts/test.sh to exercise what is here."
