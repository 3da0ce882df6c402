#!/usr/bin/env bash
# check-windows-folder.sh BUILD_DIR
# The portable Windows folder as a user gets it, run under Wine: `cmake --install` of
# the MinGW build, zipped, unpacked into a folder whose name has an accent and a
# space; then quiet requests on accented names with '\' and '/' paths, a merge saved
# over one of its inputs, logs, and the window on a virtual display. Needs the Wine
# environment scripts/test-windows.sh sets up. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
# The folder must hold every DLL it needs: none come from the library prefix here.
unset WINEPATH
wine=/usr/lib/wine/wine64
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

work=$build/portable-check
rm -rf "$work"
mkdir -p "$work"

echo "== Portable folder: install, zip, unpack under a name with an accent and a space"
cmake --install "$build" --prefix "$work/installed" >"$work/install.log"
(cd "$work/installed" && cmake -E tar cf "$work/pagemeld.zip" --format=zip .)
home="$work/Dossier été ü"
mkdir -p "$home"
(cd "$home" && cmake -E tar xf "$work/pagemeld.zip")
# Only the programs, their DLLs and plugins, the languages and the shortcuts.
unexpected=$(cd "$home" && find . -type f ! -name '*.exe' ! -name '*.dll' ! -name '*.url' \
    ! -path './languages/*.ini')
[[ -z $unexpected ]] || fail "files that do not belong in the folder: $unexpected"
for needed in pagemeld.exe languages platforms/qwindows.dll Qt6Core.dll libstdc++-6.dll; do
    [[ -e $home/$needed ]] || fail "$needed is missing from the installed folder"
done
console=pagemeld-cli.exe
if [[ ! -f $home/$console ]]; then
    echo "(no pagemeld-cli.exe in this build: its quiet split runs through pagemeld.exe)"
    console=pagemeld.exe
fi
(cd "$home" && find . -type f | sort | sed 's/^/  /')

# Test files: a one-page document made by hand, grown by qpdf to as many pages as asked.
make_pdf() {
    local file=$1 pages=$2 one="$work/one-page.pdf"
    if [[ ! -f $one ]]; then
        printf '%s\n' '%PDF-1.4' '1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj' \
            '2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj' \
            '3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >> endobj' \
            'trailer << /Root 1 0 R >>' '%%EOF' >"$work/raw.pdf"
        qpdf "$work/raw.pdf" "$one" || [[ $? -eq 3 ]]
    fi
    local list=()
    for ((i = 0; i < pages; i++)); do list+=("$one"); done
    qpdf --empty --pages "${list[@]}" -- "$file"
}
pages_of() { qpdf --show-npages "$1"; }
expect_pages() {
    [[ -f $1 ]] || fail "$1 was not written"
    qpdf --check "$1" >/dev/null || fail "$1 does not pass qpdf --check"
    local count
    count=$(pages_of "$1")
    [[ $count -eq $2 ]] || fail "$1 has $count pages, not $2"
}
# run_quiet PROGRAM ARGS...: a quiet request from the inputs' folder; it must succeed.
run_quiet() {
    local program=$1
    shift
    echo "  $program $*"
    (cd "$inputs" && "$wine" "$home/$program" "$@") || fail "$program $* ended with status $?"
}

inputs="$work/Entrées"
mkdir -p "$inputs" "$work/Pièces"
make_pdf "$inputs/Français résumé.pdf" 3
make_pdf "$inputs/Über Daten.pdf" 2

echo "== Quiet requests from the unpacked folder"
# A split into a folder given with '\', logged.
run_quiet "$console" -qsl "$(windows_path "$inputs")\\Français résumé.pdf" \
    -o "$(windows_path "$work/Pièces")\\"
for n in 01 02 03; do expect_pages "$work/Pièces/Français résumé$n.pdf" 1; done
[[ -s $work/Pièces/output.log ]] || fail "the split wrote no log"
# A merge with a '/' path, a relative name and a '\' output.
run_quiet pagemeld.exe -qm "Z:$inputs/Über Daten.pdf" "Français résumé.pdf" \
    -o "$(windows_path "$work")\\Fusion été.pdf"
expect_pages "$work/Fusion été.pdf" 5
# A merge saved over one of its inputs, logged.
run_quiet pagemeld.exe -qml "Über Daten.pdf" "Français résumé.pdf" -o "Über Daten.pdf"
expect_pages "$inputs/Über Daten.pdf" 5
[[ -s "$inputs/Über Daten.pdf.log" ]] || fail "the merge wrote no log"
leftovers=$(find "$work" -name '.pagemeld-*')
[[ -z $leftovers ]] || fail "temporary files left behind: $leftovers"

echo "== The window on a virtual display"
picture=$build/window.png
rm -f "$picture"
# The program saves a picture of itself a second after it is shown, then ends; the
# title is looked for on the display meanwhile.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    PAGEMELD_SCREENSHOT_FILE="$1" "$2" "$3" -m "$4" &
    program=$!
    title=""
    for _ in $(seq 1 300); do
        title=$(xwininfo -root -tree 2>/dev/null | grep -o "\"Ombrix Pagemeld[^\"]*\"" | head -n 1)
        [[ -n $title ]] && break
        sleep 0.2
    done
    wait "$program" || { echo "the window ended with status $?" >&2; exit 1; }
    [[ -n $title ]] || { echo "no window titled Ombrix Pagemeld appeared" >&2; exit 1; }
    echo "  window title: $title"
' check "$(windows_path "$picture")" "$wine" "$home/pagemeld.exe" \
    "$(windows_path "$inputs")\\Français résumé.pdf" || fail "the window did not show"
[[ -s $picture ]] || fail "no picture of the window"
echo "  picture of the window: $picture"
echo "Portable folder checks passed"
