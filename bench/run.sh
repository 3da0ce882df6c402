#!/usr/bin/env bash
# Times pagemeld_bench and the pagemeld program's quiet requests against other PDF
# tools on the same inputs in the same run: split (engine and window), many-file merge
# (engine and window), quiet split and merges, AES-256 decryption and a mix of two
# documents, and scanned documents (pages of one large image each): a merge of two
# 200 MB pages, a merge of 40 scans and a split of a 100-page scan. The merges are
# timed against qpdf, mutool (mupdf-tools) and pdfunite (poppler-utils), the scans
# also against pdfseparate and against cat of the same bytes (the floor), the other
# jobs against qpdf; each job's ratio is to its fastest peer. Runs alternate (ours,
# qpdf, mutool, ...) so that a busy moment on the machine hurts all of them.
#
#   bench/run.sh [path/to/pagemeld_bench [path/to/pagemeld [path/to/pagemeld-cli]]]
#
# Sizes and repeats can be overridden for a quick run:
#   BENCH_SPLIT_PAGES (1000)  BENCH_MERGE_FILES (5000)  BENCH_DECRYPT_PAGES (100)
#   BENCH_MIX_PAGES (500)  BENCH_QUIET_SPLIT_PAGES (999, at most 999)
#   BENCH_QUIET_MERGE_FILES (1000, at most 1000)  BENCH_LONG_MERGE_FILES (200)
#   BENCH_LONG_MERGE_PAGES (20)  BENCH_RUNS (5)
#   BENCH_SCAN_FILES (40)  BENCH_SCAN_BIG_MB (200)  BENCH_SCAN_SPLIT_PAGES (100)
#   BENCH_SCAN_SPLIT_MB (5)  BENCH_SCAN_RUNS (3)
# BENCH_JOBS names the jobs to run (default all): split split-run quiet-split merge
# quiet-merge long-merge decrypt mix scan-merge scans scan-split size-split.
# mutool and pdfunite are installed with apt-get when missing (as root, or with sudo).
# BENCH_KEEP=1 keeps the temporary folder with inputs and timings.
set -euo pipefail

SPLIT_PAGES=${BENCH_SPLIT_PAGES:-1000}
MERGE_FILES=${BENCH_MERGE_FILES:-5000}
DECRYPT_PAGES=${BENCH_DECRYPT_PAGES:-100}
MIX_PAGES=${BENCH_MIX_PAGES:-500}
# A quiet split writes at most 999 pieces per input, so its input stops there and both
# tools write the same pieces.
QUIET_SPLIT_PAGES=${BENCH_QUIET_SPLIT_PAGES:-999}
# A quiet request takes at most 1000 names.
QUIET_MERGE_FILES=${BENCH_QUIET_MERGE_FILES:-1000}
# A quiet merge of fewer, longer files.
LONG_MERGE_FILES=${BENCH_LONG_MERGE_FILES:-200}
LONG_MERGE_PAGES=${BENCH_LONG_MERGE_PAGES:-20}
RUNS=${BENCH_RUNS:-5}
# Scanned pages: images of noise, uncompressed (sizes in units of 1 000 000 bytes).
SCAN_FILES=${BENCH_SCAN_FILES:-40}
SCAN_BIG_MB=${BENCH_SCAN_BIG_MB:-200}
SCAN_SPLIT_PAGES=${BENCH_SCAN_SPLIT_PAGES:-100}
SCAN_SPLIT_MB=${BENCH_SCAN_SPLIT_MB:-5}
# The slowest peers take most of a minute per run on the scans.
SCAN_RUNS=${BENCH_SCAN_RUNS:-3}
ALL_JOBS="split split-run quiet-split merge quiet-merge long-merge decrypt mix scan-merge scans scan-split size-split"
JOBS=${BENCH_JOBS:-$ALL_JOBS}

die() {
    echo "run.sh: FAILED: $*" >&2
    exit 1
}

for name in SPLIT_PAGES MERGE_FILES DECRYPT_PAGES MIX_PAGES QUIET_SPLIT_PAGES QUIET_MERGE_FILES \
    LONG_MERGE_FILES LONG_MERGE_PAGES RUNS SCAN_FILES SCAN_BIG_MB SCAN_SPLIT_PAGES SCAN_SPLIT_MB SCAN_RUNS; do
    [[ ${!name} =~ ^[1-9][0-9]*$ ]] || die "BENCH_$name must be a positive whole number, not '${!name}'"
done
((QUIET_SPLIT_PAGES <= 999)) || die "BENCH_QUIET_SPLIT_PAGES must be at most 999: a quiet split writes no more pieces"
((QUIET_MERGE_FILES >= 2 && QUIET_MERGE_FILES <= 1000)) ||
    die "BENCH_QUIET_MERGE_FILES must be 2 to 1000: a quiet merge takes no more names"
((LONG_MERGE_FILES >= 2 && LONG_MERGE_FILES <= 1000)) ||
    die "BENCH_LONG_MERGE_FILES must be 2 to 1000: a quiet merge takes no more names"
((SCAN_FILES >= 2 && SCAN_FILES <= 1000)) || die "BENCH_SCAN_FILES must be 2 to 1000: a quiet merge takes no more names"
((SCAN_SPLIT_PAGES <= 999)) || die "BENCH_SCAN_SPLIT_PAGES must be at most 999: a quiet split writes no more pieces"
for job in $JOBS; do
    [[ " $ALL_JOBS " == *" $job "* ]] || die "BENCH_JOBS: no job '$job' (there are: $ALL_JOBS)"
done
# wanted <job>: the job is to run.
wanted() {
    [[ " $JOBS " == *" $1 "* ]]
}

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench=${1:-$here/../build-bench/bench/pagemeld_bench}
[[ -x $bench ]] || die "no pagemeld_bench at $bench (build it: cmake --build build-bench --target pagemeld_bench)"
bench=$(cd "$(dirname "$bench")" && pwd)/$(basename "$bench")
program=${2:-$here/../build-bench/src/gui/pagemeld}
[[ -x $program ]] || die "no pagemeld at $program (configure build-bench with -DPAGEMELD_BUILD_GUI=ON and build the target pagemeld)"
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
# The scans run the console program, which a server or a script would use.
cli=${3:-$(dirname "$program")/../cli/pagemeld-cli}
[[ -x $cli ]] || die "no pagemeld-cli at $cli (build the target pagemeld-cli)"
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
command -v qpdf >/dev/null || die "qpdf is not installed"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing (Debian package 'time')"

# need <command> <Debian package>: installs the package when the command is missing.
need() {
    command -v "$1" >/dev/null && return
    echo "Installing $2 for $1 ..."
    local apt=(apt-get install -y -q "$2")
    ((EUID == 0)) || apt=(sudo -n "${apt[@]}")
    "${apt[@]}" >/dev/null || die "$1 is missing and $2 could not be installed"
    command -v "$1" >/dev/null || die "$2 did not bring $1"
}
need mutool mupdf-tools
need pdfunite poppler-utils
need pdfseparate poppler-utils

work=$(mktemp -d "${TMPDIR:-/tmp}/pagemeld-bench.XXXXXX")
if [[ ${BENCH_KEEP:-0} == 1 ]]; then
    echo "Keeping $work"
else
    trap 'rm -rf "$work"' EXIT
fi
# A quiet request's names end at the first "-o" of its command line.
[[ $work != *-o* ]] || die "the temporary folder $work holds \"-o\", which would cut the quiet requests' names: set TMPDIR elsewhere"

# measure <label> <command...>: runs the command once under /usr/bin/time and appends
# "seconds kilobytes" to $work/<label>.times; any failure stops the benchmark.
measure() {
    local label=$1
    shift
    if ! /usr/bin/time -f "%e %M" -o "$work/time.out" "$@" >"$work/cmd.out" 2>&1; then
        cat "$work/cmd.out" >&2
        die "$label: '$*' exited with an error"
    fi
    tail -n 1 "$work/time.out" >>"$work/$label.times"
}

median_seconds() {
    awk '{print $1}' "$work/$1.times" | sort -g |
        awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

peak_mb() {
    awk '$2 > m {m = $2} END {printf "%.1f\n", m / 1024}' "$work/$1.times"
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f\n", a / b; else print "n/a"}'
}

# The page count; qpdf's exit status 3 (warnings only, as pdfunite's output draws) still counts.
npages() {
    local count status=0
    count=$(qpdf --show-npages "$@" 2>/dev/null) || status=$?
    ((status == 0 || status == 3)) || die "qpdf cannot count the pages of ${*: -1}"
    echo "$count"
}

expect_pages() {
    local file=$1 expected=$2
    shift 2
    local found
    found=$(npages "$@" "$file")
    [[ $found == "$expected" ]] || die "$file has $found pages, expected $expected"
}

check_clean() {
    local report
    report=$(qpdf --check "$1" 2>&1) || {
        echo "$report" >&2
        die "qpdf --check finds errors or warnings in $1"
    }
}

total_bytes() {
    find "$1" -type f -name '*.pdf' -printf '%s\n' | awk '{s += $1} END {print s + 0}'
}

# verify_size_split <folder> <pages> <bytes>: the pieces hold every page once, each
# piece within the size (no scan page is larger alone).
verify_size_split() {
    local folder=$1 pages=$2 bytes=$3 total=0 piece
    for piece in "$folder"/*.pdf; do
        (($(stat -c %s "$piece") <= bytes)) || die "size-split: $piece is larger than $bytes bytes"
        total=$((total + $(qpdf --show-npages "$piece")))
    done
    ((total == pages)) || die "size-split: the pieces hold $total pages, not $pages"
}

# verify_split <folder> <pages> [tool]: every page of the split is a one-page piece, and
# one piece of ours or qpdf's passes qpdf's check.
verify_split() {
    local folder=$1 pages=$2 tool=${3:-ours} count piece
    count=$(find "$folder" -type f -name '*.pdf' | wc -l)
    [[ $count == "$pages" ]] || die "$folder holds $count pieces, expected $pages"
    while IFS= read -r piece; do
        expect_pages "$piece" 1
    done < <(find "$folder" -type f -name '*.pdf')
    piece=$(find "$folder" -type f -name '*.pdf' | sort | sed -n "$(((pages + 1) / 2))p")
    [[ $tool == mutool || $tool == poppler ]] || check_clean "$piece"
}

# verify_merge <file> <pages> <tool>: every page is there; ours and qpdf's outputs pass
# qpdf's check (pdfunite's own output draws warnings from it, which are not ours to judge).
verify_merge() {
    expect_pages "$1" "$2"
    [[ $3 == mutool || $3 == pdfunite || $3 == poppler ]] || check_clean "$1"
}

# Ours and qpdf's second step both write one two-page file per pass: page k of the
# first document, then page k of the second.
verify_mix() {
    local folder=$1 count piece
    count=$(find "$folder" -type f -name 'piece-*.pdf' | wc -l)
    [[ $count == "$MIX_PAGES" ]] || die "$folder holds $count mixed files, expected $MIX_PAGES"
    while IFS= read -r piece; do
        expect_pages "$piece" 2
    done < <(find "$folder" -type f -name 'piece-*.pdf')
    piece=$(find "$folder" -type f -name 'piece-*.pdf' | sort | sed -n "$(((MIX_PAGES + 1) / 2))p")
    check_clean "$piece"
}

verify_decrypt() {
    expect_pages "$1" "$DECRYPT_PAGES"
    qpdf --show-encryption "$1" | grep -q "File is not encrypted" || die "$1 is still encrypted"
    check_clean "$1"
}

echo "pagemeld_bench: $bench"
echo "pagemeld: $program"
echo "pagemeld-cli: $cli"
echo "$(qpdf --version | head -n 1); $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "$(mutool -v 2>&1 | head -n 1); $(pdfunite -v 2>&1 | head -n 1)"
echo "Sizes: split $SPLIT_PAGES pages, merge $MERGE_FILES files, quiet split $QUIET_SPLIT_PAGES pages, quiet merge $QUIET_MERGE_FILES files,"
echo "  quiet merge of $LONG_MERGE_FILES files of $LONG_MERGE_PAGES pages,"
echo "  decrypt $DECRYPT_PAGES pages (AES-256), mix 2 x $MIX_PAGES pages; $RUNS runs each"
echo "  scans: 2 pages of $SCAN_BIG_MB MB merged, $SCAN_FILES scans merged, $SCAN_SPLIT_PAGES pages of $SCAN_SPLIT_MB MB split; $SCAN_RUNS runs each"
echo "Jobs: $JOBS"
echo "Load average at the start: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo

echo "Making inputs in $work ..."
if wanted split || wanted split-run; then
    "$bench" make-split-input "$work/split-in.pdf" "$SPLIT_PAGES" || die "cannot make the split input"
    expect_pages "$work/split-in.pdf" "$SPLIT_PAGES"
fi
if wanted merge; then
    "$bench" make-merge-inputs "$work/merge-in" "$MERGE_FILES" || die "cannot make the merge inputs"
    mapfile -t merge_files <"$work/merge-in/qpdf-args.txt"
fi
if wanted quiet-split; then
    "$bench" make-split-input "$work/quiet-split-in.pdf" "$QUIET_SPLIT_PAGES" || die "cannot make the quiet split input"
    expect_pages "$work/quiet-split-in.pdf" "$QUIET_SPLIT_PAGES"
fi
# Every tool gets the quiet merges' names as arguments.
if wanted quiet-merge; then
    "$bench" make-merge-inputs "$work/quiet-merge-in" "$QUIET_MERGE_FILES" || die "cannot make the quiet merge inputs"
    mapfile -t quiet_merge_files <"$work/quiet-merge-in/qpdf-args.txt"
fi
if wanted long-merge; then
    "$bench" make-merge-inputs "$work/long-merge-in" "$LONG_MERGE_FILES" "$LONG_MERGE_PAGES" ||
        die "cannot make the long merge inputs"
    mapfile -t long_merge_files <"$work/long-merge-in/qpdf-args.txt"
fi
if wanted decrypt; then
    "$bench" make-encrypted "$work/encrypted.pdf" "$DECRYPT_PAGES" || die "cannot make the encrypted input"
    expect_pages "$work/encrypted.pdf" "$DECRYPT_PAGES" --password=user
fi
if wanted mix; then
    "$bench" make-mix-input "$work/mix-a.pdf" "$MIX_PAGES" A || die "cannot make the first mix input"
    "$bench" make-mix-input "$work/mix-b.pdf" "$MIX_PAGES" B || die "cannot make the second mix input"
    expect_pages "$work/mix-a.pdf" "$MIX_PAGES"
    expect_pages "$work/mix-b.pdf" "$MIX_PAGES"
fi
if wanted scan-merge; then
    scan_big_files=("$work/scan-big-1.pdf" "$work/scan-big-2.pdf")
    for file in "${scan_big_files[@]}"; do
        "$bench" make-scan "$file" 1 "$SCAN_BIG_MB" || die "cannot make $file"
        check_clean "$file"
    done
fi
# Scan k has 1 + (k - 1) % 3 pages.
scan_pages=0
if wanted scans; then
    "$bench" make-scans "$work/scans-in" "$SCAN_FILES" || die "cannot make the scans"
    mapfile -t scan_files <"$work/scans-in/qpdf-args.txt"
    for ((k = 1; k <= SCAN_FILES; k++)); do scan_pages=$((scan_pages + 1 + (k - 1) % 3)); done
    expect_pages "${scan_files[-1]}" $((1 + (SCAN_FILES - 1) % 3))
fi
if wanted scan-split || wanted size-split; then
    "$bench" make-scan "$work/scan-split-in.pdf" "$SCAN_SPLIT_PAGES" "$SCAN_SPLIT_MB" || die "cannot make the scan to split"
    check_clean "$work/scan-split-in.pdf"
fi

out=$work/out
declare -A split_bytes
# A quiet request runs without any window, so it must not need a display either.
quiet=(env -u DISPLAY -u WAYLAND_DISPLAY "$program")

run_job() {
    local job=$1 tool tools="ours qpdf"
    # The mix is also timed against qpdf's collation alone, which writes one file.
    [[ $job == mix ]] && tools="ours qpdf collate"
    # The merges have three peers. The merge run of the window writes the same file as
    # the engine's merge and is timed against the same peer runs.
    [[ $job == quiet-merge || $job == long-merge ]] && tools="ours qpdf mutool pdfunite"
    # The list: the same merge as one quiet request of pagemeld-cli reading its names
    # from a list file (qpdf's own list of them, one a line).
    [[ $job == merge ]] && tools="ours qpdf mutool pdfunite window list"
    # The scans: poppler is pdfunite for the merges and pdfseparate for the split, and
    # cat copies the same input bytes into one file, the floor of any tool.
    local runs=$RUNS
    if [[ $job == scan* ]]; then
        tools="ours cat qpdf mutool poppler"
        runs=$SCAN_RUNS
    fi
    # Pieces of at most three scanned pages' size: no peer cuts by size, so only the floor.
    [[ $job == size-split ]] && tools="ours cat" && runs=$SCAN_RUNS
    wanted "$job" || return 0
    echo "Running $job ..."
    for ((run = 1; run <= runs; run++)); do
        for tool in $tools; do
            rm -rf "$out"
            mkdir -p "$out"
            case $job-$tool in
                split-ours) measure split-ours "$bench" split "$work/split-in.pdf" "$out" ;;
                split-qpdf | split-run-qpdf) measure "$job-$tool" qpdf --split-pages "$work/split-in.pdf" "$out/piece-%d.pdf" ;;
                split-run-ours) measure split-run-ours "$bench" split-run "$work/split-in.pdf" "$out" ;;
                quiet-split-ours) measure quiet-split-ours "${quiet[@]}" -qs "$work/quiet-split-in.pdf" -o "$out/" ;;
                quiet-split-qpdf) measure quiet-split-qpdf qpdf --split-pages "$work/quiet-split-in.pdf" "$out/piece-%d.pdf" ;;
                merge-ours) measure merge-ours "$bench" merge "$work/merge-in" "$MERGE_FILES" "$out/merged.pdf" ;;
                merge-qpdf) measure merge-qpdf qpdf --empty --pages "@$work/merge-in/qpdf-args.txt" -- "$out/merged.pdf" ;;
                merge-mutool) measure merge-mutool mutool merge -o "$out/merged.pdf" "${merge_files[@]}" ;;
                merge-pdfunite) measure merge-pdfunite pdfunite "${merge_files[@]}" "$out/merged.pdf" ;;
                merge-window) measure merge-window "$bench" merge-run "$work/merge-in" "$MERGE_FILES" "$out/merged.pdf" ;;
                merge-list) measure merge-list "$cli" -qm "@$work/merge-in/qpdf-args.txt" -o "$out/merged.pdf" ;;
                quiet-merge-ours) measure quiet-merge-ours "${quiet[@]}" -qm "${quiet_merge_files[@]}" -o "$out/merged.pdf" ;;
                quiet-merge-qpdf) measure quiet-merge-qpdf qpdf --empty --pages "${quiet_merge_files[@]}" -- "$out/merged.pdf" ;;
                quiet-merge-mutool) measure quiet-merge-mutool mutool merge -o "$out/merged.pdf" "${quiet_merge_files[@]}" ;;
                quiet-merge-pdfunite) measure quiet-merge-pdfunite pdfunite "${quiet_merge_files[@]}" "$out/merged.pdf" ;;
                long-merge-ours) measure long-merge-ours "${quiet[@]}" -qm "${long_merge_files[@]}" -o "$out/merged.pdf" ;;
                long-merge-qpdf) measure long-merge-qpdf qpdf --empty --pages "${long_merge_files[@]}" -- "$out/merged.pdf" ;;
                long-merge-mutool) measure long-merge-mutool mutool merge -o "$out/merged.pdf" "${long_merge_files[@]}" ;;
                long-merge-pdfunite) measure long-merge-pdfunite pdfunite "${long_merge_files[@]}" "$out/merged.pdf" ;;
                decrypt-ours) measure decrypt-ours "$bench" decrypt "$work/encrypted.pdf" "$out/decrypted.pdf" user ;;
                decrypt-qpdf) measure decrypt-qpdf qpdf --decrypt --password=user "$work/encrypted.pdf" "$out/decrypted.pdf" ;;
                mix-ours) measure mix-ours "$bench" mix "$work/mix-a.pdf" "$work/mix-b.pdf" "$out" ;;
                # The same outputs as ours: collate, then cut into two-page files.
                mix-qpdf) measure mix-qpdf bash -c 'qpdf --collate --empty --pages "$1" "$2" -- "$3/collated.pdf" &&
                    qpdf --split-pages=2 "$3/collated.pdf" "$3/piece-%d.pdf" && rm "$3/collated.pdf"' \
                    mix "$work/mix-a.pdf" "$work/mix-b.pdf" "$out" ;;
                mix-collate) measure mix-collate qpdf --collate --empty --pages "$work/mix-a.pdf" "$work/mix-b.pdf" -- "$out/collated.pdf" ;;
                scan-merge-ours) measure scan-merge-ours "$cli" -qm "${scan_big_files[@]}" -o "$out/merged.pdf" ;;
                scan-merge-cat) measure scan-merge-cat bash -c 'cat "${@:2}" >"$1"' cat "$out/merged.pdf" "${scan_big_files[@]}" ;;
                scan-merge-qpdf) measure scan-merge-qpdf qpdf --empty --pages "${scan_big_files[@]}" -- "$out/merged.pdf" ;;
                scan-merge-mutool) measure scan-merge-mutool mutool merge -o "$out/merged.pdf" "${scan_big_files[@]}" ;;
                scan-merge-poppler) measure scan-merge-poppler pdfunite "${scan_big_files[@]}" "$out/merged.pdf" ;;
                scans-ours) measure scans-ours "$cli" -qm "${scan_files[@]}" -o "$out/merged.pdf" ;;
                scans-cat) measure scans-cat bash -c 'cat "${@:2}" >"$1"' cat "$out/merged.pdf" "${scan_files[@]}" ;;
                scans-qpdf) measure scans-qpdf qpdf --empty --pages "${scan_files[@]}" -- "$out/merged.pdf" ;;
                scans-mutool) measure scans-mutool mutool merge -o "$out/merged.pdf" "${scan_files[@]}" ;;
                scans-poppler) measure scans-poppler pdfunite "${scan_files[@]}" "$out/merged.pdf" ;;
                scan-split-ours) measure scan-split-ours "$cli" -qs "$work/scan-split-in.pdf" -o "$out/" ;;
                scan-split-cat) measure scan-split-cat bash -c 'cat "$2" >"$1"' cat "$out/copy.pdf" "$work/scan-split-in.pdf" ;;
                scan-split-qpdf) measure scan-split-qpdf qpdf --split-pages "$work/scan-split-in.pdf" "$out/piece-%d.pdf" ;;
                # mutool has no split of its own: one "mutool merge" of one page per piece.
                scan-split-mutool) measure scan-split-mutool bash -c 'for ((k = 1; k <= $2; k++)); do
                    mutool merge -o "$3/piece-$k.pdf" "$1" "$k" || exit 1; done' \
                    split "$work/scan-split-in.pdf" "$SCAN_SPLIT_PAGES" "$out" ;;
                size-split-ours) measure size-split-ours "$cli" -qs --max-size $((3 * SCAN_SPLIT_MB + 1)) "$work/scan-split-in.pdf" -o "$out/" ;;
                size-split-cat) measure size-split-cat bash -c 'cat "$2" >"$1"' cat "$out/copy.pdf" "$work/scan-split-in.pdf" ;;
                scan-split-poppler) measure scan-split-poppler pdfseparate "$work/scan-split-in.pdf" "$out/piece-%d.pdf" ;;
            esac
            if ((run == 1)); then
                case $job in
                    split)
                        verify_split "$out" "$SPLIT_PAGES"
                        split_bytes[$tool]=$(total_bytes "$out")
                        ;;
                    split-run) verify_split "$out" "$SPLIT_PAGES" ;;
                    quiet-split) verify_split "$out" "$QUIET_SPLIT_PAGES" ;;
                    # The merge inputs alternate one and two pages, starting with one.
                    merge) verify_merge "$out/merged.pdf" $((MERGE_FILES + MERGE_FILES / 2)) "$tool" ;;
                    quiet-merge) verify_merge "$out/merged.pdf" $((QUIET_MERGE_FILES + QUIET_MERGE_FILES / 2)) "$tool" ;;
                    long-merge) verify_merge "$out/merged.pdf" $((LONG_MERGE_FILES * LONG_MERGE_PAGES)) "$tool" ;;
                    decrypt) verify_decrypt "$out/decrypted.pdf" ;;
                    mix)
                        if [[ $tool == collate ]]; then
                            expect_pages "$out/collated.pdf" $((2 * MIX_PAGES))
                        else
                            verify_mix "$out"
                        fi
                        ;;
                    scan-merge) [[ $tool == cat ]] || verify_merge "$out/merged.pdf" 2 "$tool" ;;
                    scans) [[ $tool == cat ]] || verify_merge "$out/merged.pdf" "$scan_pages" "$tool" ;;
                    scan-split) [[ $tool == cat ]] || verify_split "$out" "$SCAN_SPLIT_PAGES" "$tool" ;;
                    size-split) [[ $tool == cat ]] || verify_size_split "$out" "$SCAN_SPLIT_PAGES" $(((3 * SCAN_SPLIT_MB + 1) * 1000000)) ;;
                esac
            fi
        done
    done
    rm -rf "$out"
}

run_job split
run_job split-run
run_job quiet-split
run_job merge
# Listing the merge tab prints its own timings; it writes nothing to compare.
if wanted merge; then
    echo "Running merge-list-add (once) ..."
    list_add=$("$bench" merge-list-add "$work/merge-in" "$MERGE_FILES") || die "merge-list-add failed"
fi
run_job quiet-merge
run_job long-merge
run_job decrypt
run_job mix
run_job scan-merge
run_job scans
run_job scan-split
run_job size-split

echo
echo "Load average at the end: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo
# One row per job: its name, the label of our runs, then the labels of its peers' runs.
rows=(
    "split split-ours split-qpdf"
    "split-run split-run-ours split-run-qpdf"
    "quiet-split quiet-split-ours quiet-split-qpdf"
    "merge merge-ours merge-qpdf merge-mutool merge-pdfunite"
    "merge-run merge-window merge-qpdf merge-mutool merge-pdfunite"
    "list-merge merge-list merge-qpdf merge-mutool merge-pdfunite"
    "quiet-merge quiet-merge-ours quiet-merge-qpdf quiet-merge-mutool quiet-merge-pdfunite"
    "long-merge long-merge-ours long-merge-qpdf long-merge-mutool long-merge-pdfunite"
    "decrypt decrypt-ours decrypt-qpdf"
    "mix mix-ours mix-qpdf"
)
for row in "${rows[@]}"; do
    read -r job _ <<<"$row"
    job=${job/merge-run/merge}
    if wanted "${job/list-merge/merge}"; then
        printf '%-12s %8s %8s %8s %9s %-9s %7s %7s %8s %8s %7s\n' job "ours s" "qpdf s" "mutool s" \
            "pdfunite s" fastest ratio "/ qpdf" "ours MB" "peer MB" "mem"
        break
    fi
done
for row in "${rows[@]}"; do
    read -r job ours peers <<<"$row"
    [[ -f $work/$ours.times ]] || continue
    ours_s=$(median_seconds "$ours")
    declare -A peer_s=([qpdf]=- [mutool]=- [pdfunite]=-)
    fastest=""
    for label in $peers; do
        peer=${label##*-}
        peer_s[$peer]=$(median_seconds "$label")
        if [[ -z $fastest ]] || awk -v a="${peer_s[$peer]}" -v b="$(median_seconds "$fastest")" 'BEGIN {exit !(a < b)}'; then
            fastest=$label
        fi
    done
    fastest_s=$(median_seconds "$fastest")
    printf '%-12s %8s %8s %8s %9s %-9s %7s %7s %8s %8s %7s\n' "$job" "$ours_s" "${peer_s[qpdf]}" \
        "${peer_s[mutool]}" "${peer_s[pdfunite]}" "${fastest##*-}" "$(ratio "$ours_s" "$fastest_s")" \
        "$(ratio "$ours_s" "${peer_s[qpdf]}")" "$(peak_mb "$ours")" "$(peak_mb "$fastest")" \
        "$(ratio "$(peak_mb "$ours")" "$(peak_mb "$fastest")")"
done
echo
# The scans: ours, the cat floor, then the peers (poppler: pdfunite, or pdfseparate for the split).
scan_rows=(
    "scan-merge scan-merge-ours scan-merge-cat scan-merge-qpdf scan-merge-mutool scan-merge-poppler"
    "scans scans-ours scans-cat scans-qpdf scans-mutool scans-poppler"
    "scan-split scan-split-ours scan-split-cat scan-split-qpdf scan-split-mutool scan-split-poppler"
    "size-split size-split-ours size-split-cat size-split-cat"
)
if wanted scan-merge || wanted scans || wanted scan-split || wanted size-split; then
    printf '%-12s %8s %8s %8s %8s %9s %-9s %7s %7s %8s %8s\n' job "ours s" "cat s" "qpdf s" \
        "mutool s" "poppler s" fastest ratio "/ cat" "ours MB" "peer MB"
fi
for row in "${scan_rows[@]}"; do
    read -r job ours floor peers <<<"$row"
    [[ -f $work/$ours.times ]] || continue
    ours_s=$(median_seconds "$ours")
    declare -A peer_s=([qpdf]=- [mutool]=- [poppler]=-)
    fastest=""
    for label in $peers; do
        peer_s[${label##*-}]=$(median_seconds "$label")
        if [[ -z $fastest ]] || awk -v a="${peer_s[${label##*-}]}" -v b="$(median_seconds "$fastest")" 'BEGIN {exit !(a < b)}'; then
            fastest=$label
        fi
    done
    printf '%-12s %8s %8s %8s %8s %9s %-9s %7s %7s %8s %8s\n' "$job" "$ours_s" "$(median_seconds "$floor")" \
        "${peer_s[qpdf]}" "${peer_s[mutool]}" "${peer_s[poppler]}" "${fastest##*-}" \
        "$(ratio "$ours_s" "$(median_seconds "$fastest")")" "$(ratio "$ours_s" "$(median_seconds "$floor")")" \
        "$(peak_mb "$ours")" "$(peak_mb "$fastest")"
done
echo
if wanted split; then
    echo "Split pieces, total bytes: ours ${split_bytes[ours]}, qpdf ${split_bytes[qpdf]}, ratio $(ratio "${split_bytes[ours]}" "${split_bytes[qpdf]}")"
fi
if wanted mix; then
    collate_s=$(median_seconds mix-collate)
    echo "Mix against qpdf --collate alone (one file of $((2 * MIX_PAGES)) pages): ours $(median_seconds mix-ours) s, qpdf $collate_s s, ratio $(ratio "$(median_seconds mix-ours)" "$collate_s")"
fi
if wanted merge; then
    echo "merge-run: the window's merge of the same $MERGE_FILES files, against the same qpdf runs as merge"
    echo "list-merge: pagemeld-cli -qm @list -o merged.pdf of the same files; peak memory $(peak_mb merge-list) MB against the window's $(peak_mb merge-window) MB"
    echo "$list_add"
fi
wanted quiet-split && echo "quiet-split: $QUIET_SPLIT_PAGES pages, as a quiet split writes at most 999 pieces per input"
echo
echo "Every run, seconds and peak kB:"
declare -A printed=()
for row in "${rows[@]}" "${scan_rows[@]}" "mix mix-collate"; do
    read -r _ labels <<<"$row"
    for label in $labels; do
        [[ -f $work/$label.times && -z ${printed[$label]:-} ]] || continue
        printed[$label]=1
        printf '  %-20s %s\n' "$label" "$(awk '{printf "%s/%s  ", $1, $2}' "$work/$label.times")"
    done
done
