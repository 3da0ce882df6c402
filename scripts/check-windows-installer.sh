#!/usr/bin/env bash
# check-windows-installer.sh BUILD_DIR
# The Windows packages as a user gets them, under Wine on a virtual display:
#   - `cpack -G "NSIS;ZIP"` makes the installer and the portable zip, both named
#     with the build's version, holding the same files;
#   - the installer, silent and per-user, into a folder whose name has an accent and
#     a space: the programs, languages, Qt plugins and translations are there, the
#     Start-menu and "Send to" shortcuts exist, the uninstall key names the program
#     and its version, pagemeld-cli.exe --version and the exes' version resources
#     give the build's version, their manifests are there;
#   - a quiet split and merge in a folder path of 300 characters;
#   - the "Send to - merge" shortcut's command, with two files appended as Explorer
#     does: the window opens from the installed folder (a picture is kept as
#     BUILD_DIR/installed-window.png) with both files in its merge list (merging
#     them through the window gives both files' pages);
#   - the silent uninstall removes every file, shortcut and key it made and nothing
#     of the user's; then the same for a per-machine install (/AllUsers).
# Needs the Wine environment scripts/test-windows.sh sets up. Exits non-zero on the
# first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
# The Wine session is bound to the display it starts on: the whole check runs on one.
if [[ -z ${PAGEMELD_INSTALLER_DISPLAY:-} ]]; then
    /usr/lib/wine/wineserver -w
    exec env PAGEMELD_INSTALLER_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
# The installed folder must hold every DLL it needs: none come from the library prefix.
unset WINEPATH
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
# Wine reads each volume's label when it writes a shortcut, and says it cannot for Z:.
quiet_wine() { "$wine" "$@" 2> >(grep -v "FS volume label" >&2); }

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
expect_pages() {
    [[ -f $1 ]] || fail "$1 was not written"
    qpdf --check "$1" >/dev/null || fail "$1 does not pass qpdf --check"
    local count
    count=$(qpdf --show-npages "$1")
    [[ $count -eq $2 ]] || fail "$1 has $count pages, not $2"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || fail "no project version in $build/CMakeCache.txt"
work=$build/installer-check
rm -rf "$work"
mkdir -p "$work"

echo "== Packages: the installer and the portable zip from one build"
cpack --config "$build/CPackConfig.cmake" -G "NSIS;ZIP" -B "$work/packages" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack did not make the packages"; }
installer=$work/packages/OmbrixPagemeld-$version-win64.exe
zip=$work/packages/OmbrixPagemeld-$version-win64.zip
for package in "$installer" "$zip"; do
    [[ -s $package ]] || fail "no $(basename "$package")"
    echo "  $(basename "$package"): $(du -k "$package" | cut -f1) KiB"
done
setup_version=$(scripts/read-windows-file.py version "$installer" | sed -n 's/^ProductVersion=//p')
[[ $setup_version == "$version" ]] || fail "the installer says version '$setup_version'"

# The Wine user's own folders, where a per-user install puts its shortcuts.
profile=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}
start_menu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
send_to="$profile/AppData/Roaming/Microsoft/Windows/SendTo"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\OmbrixPagemeld'
links=("$start_menu/Ombrix Pagemeld.lnk" "$send_to/Ombrix Pagemeld – merge.lnk"
    "$send_to/Ombrix Pagemeld – split.lnk")
# Everything in the user's profile but the temporary files, to compare before and after.
profile_files() { (cd "$profile" && find . ! -path './AppData/Local/Temp*' ! -path './Temp*' | sort); }
profile_files >"$work/profile-before.txt"

echo "== Silent per-user install into a folder whose name has an accent and a space"
parent="$work/Mes programmes été"
home="$parent/Ombrix Pagemeld"
mkdir -p "$parent"
# A file of the user's beside the install folder: the uninstall must leave it.
make_pdf "$parent/mein Bericht.pdf" 1
# NSIS takes /D= unquoted and last, and Wine would quote an argument with blanks: the
# command line is written out whole through cmd. The installer's own path has none.
setup=$WINEPREFIX/drive_c/pagemeld-setup.exe
cp "$installer" "$setup"
quiet_wine cmd /c "C:\\pagemeld-setup.exe /S /D=$(windows_path "$home")" ||
    fail "the silent install ended with status $?"
"$wineserver" -w
rm -f "$setup"

# The installed folder holds what the zip holds, and the uninstaller.
(cd "$home" && find . -type f ! -name Uninstall.exe | sed 's|^\./||' | sort) >"$work/installed.txt"
mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
(cd "$work/unzipped"/*/ && find . -type f | sed 's|^\./||' | sort) >"$work/zipped.txt"
diff "$work/zipped.txt" "$work/installed.txt" >&2 ||
    fail "the installed folder and the zip hold different files"
for needed in pagemeld.exe pagemeld-cli.exe Uninstall.exe languages/English.ini \
    languages/Deutsch.ini languages/Français.ini platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll translations/qtbase_de.qm translations/qtbase_fr.qm \
    Qt6Core.dll; do
    [[ -f $home/$needed ]] || fail "$needed is not in the installed folder"
done
for link in "${links[@]}"; do
    [[ -f $link ]] || fail "no shortcut $link"
    target=$(scripts/read-windows-file.py link "$link" | sed -n 1p)
    [[ $target == "$(windows_path "$home")\\pagemeld.exe" ]] ||
        fail "$(basename "$link") leads to '$target'"
done
key=$("$wine" reg query "HKCU\\$uninstall_key") || fail "no uninstall key under HKCU"
for value in "DisplayName +REG_SZ +Ombrix Pagemeld$" "DisplayVersion +REG_SZ +$version$" \
    "Publisher +REG_SZ +Ombrix$" "DisplayIcon +REG_SZ +.*pagemeld.exe,0$"; do
    LC_ALL=C grep -Eq "^ +$value" <<<"${key//$'\r'/}" || fail "the uninstall key lacks $value: $key"
done
echo "  uninstall key: $(grep -E 'DisplayName|DisplayVersion' <<<"${key//$'\r'/}" | xargs)"

echo "== The programs' version, icon and manifest"
printed=$("$wine" "$home/pagemeld-cli.exe" --version | tr -d '\r')
[[ $printed == "Ombrix Pagemeld $version" ]] || fail "pagemeld-cli.exe --version printed '$printed'"
for program in pagemeld.exe pagemeld-cli.exe; do
    info=$(scripts/read-windows-file.py version "$home/$program")
    for line in "Fixed=$version.0" "ProductVersion=$version" "FileVersion=$version" \
        "ProductName=Ombrix Pagemeld" "CompanyName=Ombrix" "OriginalFilename=$program"; do
        grep -qxF "$line" <<<"$info" || fail "$program's version resource lacks $line"
    done
    kinds=$(scripts/read-windows-file.py resources "$home/$program" | xargs)
    [[ $kinds == *GROUP_ICON* && $kinds == *MANIFEST* ]] || fail "$program holds only: $kinds"
    manifest=$(scripts/read-windows-file.py manifest "$home/$program")
    for setting in "PerMonitorV2<" "longPathAware[^>]*>true<" "activeCodePage[^>]*>UTF-8<" \
        "Microsoft.Windows.Common-Controls"; do
        grep -q "$setting" <<<"$manifest" || fail "$program's manifest lacks $setting"
    done
    echo "  $program: $(grep -E '^(FileDescription|ProductVersion)=' <<<"$info" | xargs)"
done

echo "== A quiet split and merge in a folder path of 300 characters"
deep="$work/Tiefe Ablage"
while (($(windows_path "$deep" | wc -m) < 300)); do deep="$deep/Ordner mit einem Namen"; done
mkdir -p "$deep"
echo "  $(windows_path "$deep" | wc -m) characters: $(windows_path "$deep")"
make_pdf "$deep/Bericht été.pdf" 3
make_pdf "$deep/Anhang.pdf" 2
"$wine" "$home/pagemeld-cli.exe" -qsl "$(windows_path "$deep")\\Bericht été.pdf" \
    -o "$(windows_path "$deep")\\" || fail "the split in the long folder ended with status $?"
for n in 01 02 03; do expect_pages "$deep/Bericht été$n.pdf" 1; done
"$wine" "$home/pagemeld-cli.exe" -qml "$(windows_path "$deep")\\Bericht été.pdf" \
    "$(windows_path "$deep")\\Anhang.pdf" -o "$(windows_path "$deep")\\Zusammen.pdf" ||
    fail "the merge in the long folder ended with status $?"
expect_pages "$deep/Zusammen.pdf" 5
[[ -s $deep/output.log && -s $deep/Zusammen.pdf.log ]] || fail "no logs in the long folder"

echo "== \"Send to - merge\" with two files: the window from the installed folder"
inputs="$work/Entrées"
mkdir -p "$inputs"
make_pdf "$inputs/Français résumé.pdf" 3
make_pdf "$inputs/Über Daten.pdf" 2
# The shortcut's command as Explorer runs it: its target and arguments, the chosen
# files appended.
mapfile -t link < <(scripts/read-windows-file.py link "$send_to/Ombrix Pagemeld – merge.lnk")
read -ra arguments <<<"${link[1]}"
send_to_merge=("${link[0]}" "${arguments[@]}" "$(windows_path "$inputs")\\Français résumé.pdf"
    "$(windows_path "$inputs")\\Über Daten.pdf")
echo "  ${send_to_merge[*]}"
# The update check stays off: it would ask the network first, in a box of its own.
"$wine" reg add 'HKCU\Software\Ombrix\OmbrixPagemeld' /v updatecheck /d 0 /f >/dev/null
picture=$build/installed-window.png
rm -f "$picture"
# The program saves a picture of itself a second after it is shown, then ends.
PAGEMELD_SCREENSHOT_FILE=$(windows_path "$picture") "$wine" "${send_to_merge[@]}" ||
    fail "the window ended with status $?"
[[ -s $picture ]] || fail "no picture of the window"
echo "  picture of the window: $picture"
# Both files are in its merge list: merged through the window, the output has the
# pages of both (the output name typed into its box, the button clicked, at their
# places in the window's fixed layout).
merged="$work/Fenetre run.pdf"
"$wine" "${send_to_merge[@]}" &
program=$!
window=""
for _ in $(seq 1 300); do
    window=$(xdotool search --name "^Ombrix Pagemeld" 2>/dev/null | head -n 1) && [[ -n $window ]] &&
        break
    sleep 0.2
done
[[ -n $window ]] || { kill "$program"; fail "no window titled Ombrix Pagemeld"; }
sleep 2
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 345 299 click 1 key ctrl+a
xdotool type --delay 20 "Z:$merged"
xdotool mousemove --window "$window" 613 537 click 1
for _ in $(seq 1 150); do
    [[ -f $merged ]] && break
    sleep 0.2
done
sleep 1
kill "$program" 2>/dev/null || true
"$wineserver" -w
expect_pages "$merged" 5
echo "  merged through the window: $merged"

echo "== Installing again over it: the earlier install is removed first"
echo "stray" >"$home/languages/left by hand.txt"
cp "$installer" "$setup"
quiet_wine cmd /c "C:\\pagemeld-setup.exe /S /D=$(windows_path "$home")" ||
    fail "the second install ended with status $?"
"$wineserver" -w
rm -f "$setup"
(cd "$home" && find . -type f ! -name Uninstall.exe | sed 's|^\./||' | sort) >"$work/again.txt"
echo "languages/left by hand.txt" | sort -m - "$work/installed.txt" | diff - "$work/again.txt" >&2 ||
    fail "installing again changed the installed files"
rm "$home/languages/left by hand.txt"
for link in "${links[@]}"; do [[ -f $link ]] || fail "installing again lost $link"; done
"$wine" reg query "HKCU\\$uninstall_key" /v DisplayVersion >/dev/null ||
    fail "installing again lost the uninstall key"

# uninstall FOLDER: the silent uninstall, and what it must leave.
uninstall() {
    local folder=$1
    quiet_wine "$folder/Uninstall.exe" /S || fail "the silent uninstall ended with status $?"
    # The uninstaller runs on from a copy of itself in the temporary folder.
    "$wineserver" -w
    [[ ! -e $folder ]] || fail "the uninstall left $(find "$folder" | head -n 20)"
}

echo "== Silent uninstall"
uninstall "$home"
[[ -f "$parent/mein Bericht.pdf" ]] || fail "the uninstall took the user's file beside the folder"
for link in "${links[@]}"; do [[ ! -e $link ]] || fail "the uninstall left $link"; done
if "$wine" reg query "HKCU\\$uninstall_key" >/dev/null 2>&1; then
    fail "the uninstall left its key"
fi
profile_files >"$work/profile-after.txt"
diff "$work/profile-before.txt" "$work/profile-after.txt" >&2 ||
    fail "the install and uninstall changed the user's profile"

echo "== Silent per-machine install and uninstall (/AllUsers)"
cp "$installer" "$setup"
quiet_wine cmd /c "C:\\pagemeld-setup.exe /S /AllUsers" ||
    fail "the per-machine install ended with status $?"
"$wineserver" -w
rm -f "$setup"
machine="$WINEPREFIX/drive_c/Program Files/Ombrix Pagemeld"
common_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[[ -f $machine/pagemeld.exe ]] || fail "the per-machine install is not in Program Files"
[[ -f "$common_menu/Ombrix Pagemeld.lnk" ]] || fail "no Start-menu shortcut for all users"
"$wine" reg query "HKLM\\$uninstall_key" /v DisplayVersion >/dev/null ||
    fail "no uninstall key under HKLM"
if "$wine" reg query "HKCU\\$uninstall_key" >/dev/null 2>&1; then
    fail "the per-machine install wrote the user's uninstall key"
fi
uninstall "$machine"
[[ ! -e "$common_menu/Ombrix Pagemeld.lnk" ]] || fail "the uninstall left the Start-menu shortcut"
if "$wine" reg query "HKLM\\$uninstall_key" >/dev/null 2>&1; then
    fail "the uninstall left its key under HKLM"
fi
for link in "${links[@]}"; do [[ ! -e $link ]] || fail "the uninstall left $link"; done
echo "Installer checks passed"
