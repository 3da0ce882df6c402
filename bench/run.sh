#!/usr/bin/env bash
# Times pagemeld_bench against the qpdf command-line tool on the same inputs in
# the same run: split, many-file merge, AES-256 decryption and a mix of two documents. Runs alternate
# (ours, qpdf, ours, qpdf, ...) so that a busy moment on the machine hurts both.
#
#   bench/run.sh [path/to/pagemeld_bench]
#
# Sizes and repeats can be overridden for a quick run:
#   BENCH_SPLIT_PAGES (1000)  BENCH_MERGE_FILES (5000)  BENCH_DECRYPT_PAGES (100)
#   BENCH_MIX_PAGES (500)  BENCH_RUNS (5)
# BENCH_KEEP=1 keeps the temporary folder with inputs and timings.
set -euo pipefail

SPLIT_PAGES=${BENCH_SPLIT_PAGES:-1000}
MERGE_FILES=${BENCH_MERGE_FILES:-5000}
DECRYPT_PAGES=${BENCH_DECRYPT_PAGES:-100}
MIX_PAGES=${BENCH_MIX_PAGES:-500}
RUNS=${BENCH_RUNS:-5}

die() {
    echo "run.sh: FAILED: $*" >&2
    exit 1
}

for name in SPLIT_PAGES MERGE_FILES DECRYPT_PAGES MIX_PAGES RUNS; do
    [[ ${!name} =~ ^[1-9][0-9]*$ ]] || die "BENCH_$name must be a positive whole number, not '${!name}'"
done

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bench=${1:-$here/../build-bench/bench/pagemeld_bench}
[[ -x $bench ]] || die "no pagemeld_bench at $bench (build it: cmake --build build-bench --target pagemeld_bench)"
bench=$(cd "$(dirname "$bench")" && pwd)/$(basename "$bench")
command -v qpdf >/dev/null || die "qpdf is not installed"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing (Debian package 'time')"

work=$(mktemp -d "${TMPDIR:-/tmp}/pagemeld-bench.XXXXXX")
if [[ ${BENCH_KEEP:-0} == 1 ]]; then
    echo "Keeping $work"
else
    trap 'rm -rf "$work"' EXIT
fi

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

npages() {
    qpdf --show-npages "$@" 2>&1 || die "qpdf cannot count the pages of ${*: -1}"
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

# Every page of the split is a one-page piece, and one piece passes qpdf's check.
verify_split() {
    local folder=$1 count piece
    count=$(find "$folder" -type f -name '*.pdf' | wc -l)
    [[ $count == "$SPLIT_PAGES" ]] || die "$folder holds $count pieces, expected $SPLIT_PAGES"
    while IFS= read -r piece; do
        expect_pages "$piece" 1
    done < <(find "$folder" -type f -name '*.pdf')
    piece=$(find "$folder" -type f -name '*.pdf' | sort | sed -n "$(((SPLIT_PAGES + 1) / 2))p")
    check_clean "$piece"
}

verify_merge() {
    # Inputs alternate one and two pages, starting with one.
    expect_pages "$1" $((MERGE_FILES + MERGE_FILES / 2))
    check_clean "$1"
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
echo "$(qpdf --version | head -n 1); $(nproc) cores; $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Sizes: split $SPLIT_PAGES pages, merge $MERGE_FILES files, decrypt $DECRYPT_PAGES pages (AES-256), mix 2 x $MIX_PAGES pages; $RUNS runs each"
echo

echo "Making inputs in $work ..."
"$bench" make-split-input "$work/split-in.pdf" "$SPLIT_PAGES" || die "cannot make the split input"
"$bench" make-merge-inputs "$work/merge-in" "$MERGE_FILES" || die "cannot make the merge inputs"
"$bench" make-encrypted "$work/encrypted.pdf" "$DECRYPT_PAGES" || die "cannot make the encrypted input"
expect_pages "$work/split-in.pdf" "$SPLIT_PAGES"
"$bench" make-mix-input "$work/mix-a.pdf" "$MIX_PAGES" A || die "cannot make the first mix input"
"$bench" make-mix-input "$work/mix-b.pdf" "$MIX_PAGES" B || die "cannot make the second mix input"
expect_pages "$work/encrypted.pdf" "$DECRYPT_PAGES" --password=user
expect_pages "$work/mix-a.pdf" "$MIX_PAGES"
expect_pages "$work/mix-b.pdf" "$MIX_PAGES"

out=$work/out
declare -A split_bytes

run_job() {
    local job=$1 tool tools="ours qpdf"
    # The mix is also timed against qpdf's collation alone, which writes one file.
    [[ $job == mix ]] && tools="ours qpdf collate"
    echo "Running $job ..."
    for ((run = 1; run <= RUNS; run++)); do
        for tool in $tools; do
            rm -rf "$out"
            mkdir -p "$out"
            case $job-$tool in
                split-ours) measure split-ours "$bench" split "$work/split-in.pdf" "$out" ;;
                split-qpdf) measure split-qpdf qpdf --split-pages "$work/split-in.pdf" "$out/piece-%d.pdf" ;;
                merge-ours) measure merge-ours "$bench" merge "$work/merge-in" "$MERGE_FILES" "$out/merged.pdf" ;;
                merge-qpdf) measure merge-qpdf qpdf --empty --pages "@$work/merge-in/qpdf-args.txt" -- "$out/merged.pdf" ;;
                decrypt-ours) measure decrypt-ours "$bench" decrypt "$work/encrypted.pdf" "$out/decrypted.pdf" user ;;
                decrypt-qpdf) measure decrypt-qpdf qpdf --decrypt --password=user "$work/encrypted.pdf" "$out/decrypted.pdf" ;;
                mix-ours) measure mix-ours "$bench" mix "$work/mix-a.pdf" "$work/mix-b.pdf" "$out" ;;
                # The same outputs as ours: collate, then cut into two-page files.
                mix-qpdf) measure mix-qpdf bash -c 'qpdf --collate --empty --pages "$1" "$2" -- "$3/collated.pdf" &&
                    qpdf --split-pages=2 "$3/collated.pdf" "$3/piece-%d.pdf" && rm "$3/collated.pdf"' \
                    mix "$work/mix-a.pdf" "$work/mix-b.pdf" "$out" ;;
                mix-collate) measure mix-collate qpdf --collate --empty --pages "$work/mix-a.pdf" "$work/mix-b.pdf" -- "$out/collated.pdf" ;;
            esac
            if ((run == 1)); then
                case $job in
                    split)
                        verify_split "$out"
                        split_bytes[$tool]=$(total_bytes "$out")
                        ;;
                    merge) verify_merge "$out/merged.pdf" ;;
                    decrypt) verify_decrypt "$out/decrypted.pdf" ;;
                    mix)
                        if [[ $tool == collate ]]; then
                            expect_pages "$out/collated.pdf" $((2 * MIX_PAGES))
                        else
                            verify_mix "$out"
                        fi
                        ;;
                esac
            fi
        done
    done
    rm -rf "$out"
}

run_job split
run_job merge
run_job decrypt
run_job mix

echo
printf '%-8s %14s %14s %11s %13s %13s %11s\n' job "ours median s" "qpdf median s" "time ratio" "ours peak MB" "qpdf peak MB" "mem ratio"
for job in split merge decrypt mix; do
    ours_s=$(median_seconds "$job-ours")
    qpdf_s=$(median_seconds "$job-qpdf")
    ours_mb=$(peak_mb "$job-ours")
    qpdf_mb=$(peak_mb "$job-qpdf")
    printf '%-8s %14s %14s %11s %13s %13s %11s\n' "$job" "$ours_s" "$qpdf_s" "$(ratio "$ours_s" "$qpdf_s")" \
        "$ours_mb" "$qpdf_mb" "$(ratio "$ours_mb" "$qpdf_mb")"
done
echo
echo "Split pieces, total bytes: ours ${split_bytes[ours]}, qpdf ${split_bytes[qpdf]}, ratio $(ratio "${split_bytes[ours]}" "${split_bytes[qpdf]}")"
collate_s=$(median_seconds mix-collate)
echo "Mix against qpdf --collate alone (one file of $((2 * MIX_PAGES)) pages): ours $(median_seconds mix-ours) s, qpdf $collate_s s, ratio $(ratio "$(median_seconds mix-ours)" "$collate_s")"
echo
echo "Every run, seconds and peak kB:"
for label in split-ours split-qpdf merge-ours merge-qpdf decrypt-ours decrypt-qpdf mix-ours mix-qpdf mix-collate; do
    printf '  %-13s %s\n' "$label" "$(awk '{printf "%s/%s  ", $1, $2}' "$work/$label.times")"
done
