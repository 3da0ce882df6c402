#!/usr/bin/env bash
# check-windows-folder.sh BUILD_DIR
# The portable Windows folder as a user gets it, run under Wine: `cmake --install` of
# the MinGW build, zipped, unpacked into a folder whose name has an accent and a
# space; then quiet requests on accented names with '\' and '/' paths, a merge that
# refuses to write over one of its inputs, logs, merges of 5000 files from a list file and
# from standard input, a merge through a pipe, and the window on a virtual display. Needs the Wine
# environment scripts/test-windows.sh sets up. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
# The folder must hold every DLL it needs: none come from the library prefix here.
unset WINEPATH
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
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
# Only the programs, their DLLs and plugins, the languages, Qt's translations and the
# shortcuts.
unexpected=$(cd "$home" && find . -type f ! -name '*.exe' ! -name '*.dll' ! -name '*.url' \
    ! -path './languages/*.ini' ! -path './translations/qtbase_*.qm')
[[ -z $unexpected ]] || fail "files that do not belong in the folder: $unexpected"
# Qt's translation for the Locale of every language file, so its buttons and dialogs
# speak the chosen language.
qt_texts=$(sed -n 's/^Locale=\([^[:space:]]*\).*/translations\/qtbase_\1.qm/p' languages/*.ini)
[[ $qt_texts == *qtbase_de.qm* && $qt_texts == *qtbase_fr.qm* ]] ||
    fail "the language files name no German and French locale: $qt_texts"
for needed in pagemeld.exe languages platforms/qwindows.dll Qt6Core.dll libstdc++-6.dll \
    $qt_texts; do
    [[ -e $home/$needed ]] || fail "$needed is missing from the installed folder"
done
console=pagemeld-cli.exe
if [[ ! -f $home/$console ]]; then
    echo "(no pagemeld-cli.exe in this build: its quiet split runs through pagemeld.exe)"
    console=pagemeld.exe
fi
(cd "$home" && find . -type f | sort | sed 's/^/  /')

# Test files: a one-page document written here, grown by qpdf to as many pages as asked.
make_pdf() {
    local file=$1 pages=$2 one="$work/one-page.pdf"
    if [[ ! -f $one ]]; then
        printf '%s\n' '%PDF-1.4' '1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj' \
            '2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj' \
            '3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >> endobj' \
            'trailer << /Root 1 0 R /Size 4 >>' '%%EOF' >"$work/raw.pdf"
        # qpdf writes the missing cross-reference table; that it had to is no news.
        qpdf --warning-exit-0 "$work/raw.pdf" "$one" 2>/dev/null
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
# A quiet merge asked to write over one of its inputs refuses, says so in its log and
# by its status (3, nothing written), and leaves the input as it was.
status=0
(cd "$inputs" && "$wine" "$home/pagemeld.exe" -qml "Über Daten.pdf" "Français résumé.pdf" \
    -o "Über Daten.pdf") 2>/dev/null || status=$?
[[ $status -eq 3 ]] || fail "a merge over one of its inputs ended with status $status, not 3"
expect_pages "$inputs/Über Daten.pdf" 2
grep -q "would replace a file this request reads" "$inputs/Über Daten.pdf.log" ||
    fail "the merge over one of its inputs was not told in its log"
# A request that cannot be done says so by its status: 1, an input was skipped.
status=0
(cd "$inputs" && "$wine" "$home/pagemeld.exe" -qm "Fehlt.pdf" "Français résumé.pdf" \
    -o "Teil été.pdf") 2>/dev/null || status=$?
[[ $status -eq 1 ]] || fail "a merge with a missing input ended with status $status, not 1"
expect_pages "$inputs/Teil été.pdf" 3
# A page under 10,000 levels of page-tree nodes is split into its one page, as on
# Linux; 100,000 levels are refused as damaged (status 3, said in the log).
deep_tree_pdf() {
    python3 - "$1" "$2" <<'EOF'
import sys
file, levels = sys.argv[1], int(sys.argv[2])
objects = ["<< /Type /Catalog /Pages 2 0 R >>"]
for n in range(2, levels + 2):
    parent = f"/Parent {n - 1} 0 R " if n > 2 else ""
    objects.append(f"<< /Type /Pages {parent}/Kids [{n + 1} 0 R] /Count 1 >>")
objects.append(f"<< /Type /Page /Parent {levels + 1} 0 R /MediaBox [0 0 200 200] >>")
parts, offsets, at = [b"%PDF-1.5\n"], [], 9
for number, text in enumerate(objects, 1):
    offsets.append(at)
    parts.append(f"{number} 0 obj\n{text}\nendobj\n".encode())
    at += len(parts[-1])
parts.append(f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n".encode())
parts += [f"{offset:010d} 00000 n \n".encode() for offset in offsets]
parts.append(f"trailer\n<< /Size {len(objects) + 1} /Root 1 0 R >>\nstartxref\n{at}\n%%EOF\n".encode())
open(file, "wb").write(b"".join(parts))
EOF
}
mkdir -p "$work/Tief"
deep_tree_pdf "$inputs/Tief.pdf" 10000
deep_tree_pdf "$inputs/Zu tief.pdf" 100000
run_quiet "$console" -qsl "Tief.pdf" -o "$(windows_path "$work/Tief")\\"
expect_pages "$work/Tief/Tief01.pdf" 1
status=0
(cd "$inputs" && "$wine" "$home/$console" -qsl "Zu tief.pdf" -o "$(windows_path "$work/Tief")\\") \
    2>/dev/null || status=$?
[[ $status -eq 3 ]] || fail "a page tree 100,000 levels deep ended with status $status, not 3"
grep -q "Error loading file .*Zu tief.pdf" "$work/Tief/output.log" ||
    fail "the page tree 100,000 levels deep was not refused in the log"
[[ $(find "$work/Tief" -name 'Zu tief*') == "" ]] || fail "pieces of a refused file were written"
echo "== 5000 files merged from a list file and from standard input, a merge through a pipe"
# Files whose page widths count 1 to 5000, listed with a byte order mark and CR LF.
many="$work/Viele Dateien"
python3 - "$many" <<'EOF'
import os, sys
folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
names = []
for n in range(1, 5001):
    objects = ["<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               f"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 {n} 200] >>"]
    body, offsets = b"%PDF-1.4\n", []
    for number, text in enumerate(objects, 1):
        offsets.append(len(body))
        body += f"{number} 0 obj\n{text}\nendobj\n".encode()
    xref = len(body)
    body += b"xref\n0 4\n0000000000 65535 f \n"
    body += b"".join(f"{o:010d} 00000 n \n".encode() for o in offsets)
    body += f"trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n".encode()
    names.append(f"Seite {n:04d} é.pdf")
    open(os.path.join(folder, names[-1]), "wb").write(body)
open(os.path.join(folder, "Liste.txt"), "wb").write(
    "\ufeff# alle Seiten\r\n".encode() + "".join(f"{name}\r\n" for name in names).encode())
EOF
# widths FILE: the width of every page, one a line.
widths() {
    qpdf --json=2 --json-key=pages --json-key=qpdf "$1" | python3 -c '
import json, sys
doc = json.load(sys.stdin)
for page in doc["pages"]:
    print(int(doc["qpdf"][1]["obj:" + page["object"]]["value"]["/MediaBox"][2]))'
}
(cd "$many" && "$wine" "$home/$console" -qm @Liste.txt -o "$(windows_path "$work")\\Alle.pdf") ||
    fail "the merge from a list file ended with status $?"
expect_pages "$work/Alle.pdf" 5000
[[ $(widths "$work/Alle.pdf") == "$(seq 1 5000)" ]] || fail "the list's files were not merged in order"
(cd "$many" && "$wine" "$home/$console" -qm -q @- -o "Eingabe.pdf" <Liste.txt) ||
    fail "the merge from standard input ended with status $?"
[[ $(widths "$many/Eingabe.pdf") == "$(seq 1 5000)" ]] ||
    fail "the names from standard input were not merged in order"
(cd "$inputs" && "$wine" "$home/$console" -qm "Über Daten.pdf" "Français résumé.pdf" -o - |
    cat >"$work/Durch die Pipe.pdf") || fail "the merge to standard output ended with status $?"
expect_pages "$work/Durch die Pipe.pdf" 5
status=0
(cd "$many" && "$wine" "$home/$console" -qm @Fehlt.txt -o "Nichts.pdf") 2>/dev/null || status=$?
[[ $status -eq 2 ]] || fail "a missing list file ended with status $status, not 2"
rm -rf "$many"
leftovers=$(find "$work" -name '.pagemeld-*')
[[ -z $leftovers ]] || fail "temporary files left behind: $leftovers"

echo "== The window on a virtual display"
# The update check stays off: it would ask the network first, in a box of its own.
"$wine" reg add 'HKCU\Software\Ombrix\OmbrixPagemeld' /v updatecheck /d 0 /f >/dev/null
picture=$build/window.png
rm -f "$picture"
# Both runs share one virtual display: a Wine session stays bound to the display it
# started on, so the session of earlier requests is ended first.
"$wineserver" -w
through_window="$work/Fenetre run.pdf"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine=$1 program_file=$2 first=$3 second=$4 picture=$5 typed=$6 output=$7
    # The program saves a picture of itself a second after it is shown, then ends.
    PAGEMELD_SCREENSHOT_FILE="$picture" "$wine" "$program_file" -m "$first" ||
        { echo "the window ended with status $?" >&2; exit 1; }

    # Its title on the display, and one merge through it: the output name typed into
    # its box, the button clicked (positions in the window'"'"'s fixed layout).
    "$wine" "$program_file" -m "$first" "$second" &
    program=$!
    window=""
    for _ in $(seq 1 300); do
        window=$(xdotool search --name "^Ombrix Pagemeld" 2>/dev/null | head -n 1)
        [[ -n $window ]] && break
        sleep 0.2
    done
    [[ -n $window ]] || { echo "no window titled Ombrix Pagemeld" >&2; kill "$program"; exit 1; }
    echo "  window title: $(xdotool getwindowname "$window")"
    sleep 2
    xdotool windowfocus --sync "$window"
    xdotool mousemove --window "$window" 345 299 click 1 key ctrl+a
    xdotool type --delay 20 "$typed"
    xdotool mousemove --window "$window" 613 537 click 1
    for _ in $(seq 1 150); do
        [[ -f $output ]] && break
        sleep 0.2
    done
    sleep 1
    kill "$program"
' window "$wine" "$home/pagemeld.exe" "$(windows_path "$inputs")\\Français résumé.pdf" \
    "$(windows_path "$inputs")\\Über Daten.pdf" "$(windows_path "$picture")" \
    "Z:$through_window" "$through_window" || fail "the window did not run"
"$wineserver" -w
[[ -s $picture ]] || fail "no picture of the window"
echo "  picture of the window: $picture"
# The output file's box shows its name: dark pixels inside it, where the click above
# types (the window's fixed layout at 100 %).
dark_pixels() {
    python3 - "$@" <<'EOF'
import struct, sys, zlib
file, (x0, y0, x1, y1) = sys.argv[1], map(int, sys.argv[2:6])
data, at, idat = open(file, "rb").read(), 8, b""
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    if kind == b"IHDR":
        width, height, depth, colour, _, _, laced = struct.unpack(">IIBBBBB", data[at + 8:at + 21])
        assert depth == 8 and colour in (2, 6) and not laced, "not 8-bit RGB(A) in rows"
    elif kind == b"IDAT":
        idat += data[at + 8:at + 8 + length]
    at += 12 + length
# Undo each row's filter down to the last row asked for.
step = 3 if colour == 2 else 4
raw, stride, rows = zlib.decompress(idat), width * step, []
prev = bytearray(stride)
for y in range(y1 + 1):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a, b = line[i - step] if i >= step else 0, prev[i]
        c = prev[i - step] if i >= step else 0
        if kind == 4:
            guess = min((a, b, c), key=lambda v: abs(a + b - c - v))
        else:
            guess = (0, a, b, (a + b) // 2)[kind]
        line[i] = (line[i] + guess) & 255
    rows.append(line)
    prev = line
print(sum(299 * rows[y][x * step] + 587 * rows[y][x * step + 1] + 114 * rows[y][x * step + 2]
          < 128000 for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)))
EOF
}
shown=$(dark_pixels "$picture" 155 293 535 305)
[[ $shown -ge 20 ]] || fail "the output file's box shows no text in the picture ($shown dark pixels)"
expect_pages "$through_window" 5
echo "  merged through the window: $through_window"
echo "Portable folder checks passed"
