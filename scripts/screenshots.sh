#!/usr/bin/env bash
# Makes the documentation's screenshots: one picture of the window per tab, taken on
# a virtual X display, written to docs/screenshots/. Builds the program when needed.
# A throwaway home and settings folder keep the user's settings out, and switch the
# update check off so no request leaves the machine.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${PAGEMELD_BUILD_DIR:-build}"
program="$build_dir/src/gui/pagemeld"
out_dir="docs/screenshots"

# xvfb-run needs xauth as well.
missing=()
for package in xvfb xauth; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -x "$program" ]; then
    scripts/build.sh "$build_dir"
fi

# A fixed place, so the folders the pictures show are the same on every run.
scratch="${TMPDIR:-/tmp}/pagemeld-screenshots"
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/config/Ombrix" "$scratch/data" "$scratch/runtime" "$out_dir"
chmod 700 "$scratch/runtime"
# The English window shows every tab; the translations the three working tabs.
shoot() {
    local language="$1" suffix="$2" index="$3" name="$4"
    local picture="$out_dir/$name$suffix.png"
    printf '[Software\\Ombrix\\OmbrixPagemeld]\nupdatecheck=0\nLanguage=%s\n' "$language" \
        >"$scratch/config/Ombrix/OmbrixPagemeld.ini"
    rm -f "$picture"
    (
        cd "$scratch/home"
        env -i PATH="$PATH" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" \
            XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/runtime" LANG=C.UTF-8 \
            QT_QPA_PLATFORM=xcb PAGEMELD_SCREENSHOT_TAB="$index" \
            PAGEMELD_SCREENSHOT_FILE="$OLDPWD/$picture" \
            timeout 60 xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -dpi 96" \
            "$OLDPWD/$program"
    )
    [ -s "$picture" ] || { echo "No picture of the $name tab in $language was made." >&2; exit 1; }
    echo "Wrote $picture"
}

tabs=(split merge mix about extras)
for i in "${!tabs[@]}"; do
    shoot English "" "$((i + 1))" "${tabs[$i]}"
done
for language in Deutsch:-de Français:-fr; do
    for i in 0 1 2; do
        shoot "${language%%:*}" "${language#*:}" "$((i + 1))" "${tabs[$i]}"
    done
done
