#!/usr/bin/env bash
# The GNU parallel example over 200 generated inputs, one of them no PDF: every
# request's status in the job log, every output, and the script's own status.
# batch_parallel_test.sh PAGEMELD_CLI SCRIPT [JOBS]
set -euo pipefail
cli=$1 script=$2 jobs=${3:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Inputs of one to three pages, each page's size telling its input and page apart.
python3 - "$work/in put" <<'PYEOF'
import os, sys
folder = sys.argv[1]
os.makedirs(folder)
for n in range(1, 201):
    pages = n % 3 + 1
    kids = " ".join(f"{3 + p} 0 R" for p in range(pages))
    objects = ["<< /Type /Catalog /Pages 2 0 R >>",
               f"<< /Type /Pages /Kids [{kids}] /Count {pages} >>"]
    objects += [f"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 {100 + n} {101 + p}] >>" for p in range(pages)]
    body, offsets = b"%PDF-1.4\n", []
    for number, text in enumerate(objects, 1):
        offsets.append(len(body))
        body += f"{number} 0 obj\n{text}\nendobj\n".encode()
    xref = len(body)
    body += f"xref\n0 {len(objects) + 1}\n0000000000 65535 f \n".encode()
    body += b"".join(f"{o:010d} 00000 n \n".encode() for o in offsets)
    body += f"trailer\n<< /Size {len(objects) + 1} /Root 1 0 R >>\nstartxref\n{xref}\n%%EOF\n".encode()
    open(os.path.join(folder, f"doc {n:03d}.pdf"), "wb").write(body)
PYEOF
# Input 77 is no PDF: its request writes nothing.
echo "not a PDF" >"$work/in put/doc 077.pdf"
ls "$work/in put/"*.pdf >"$work/inputs.txt"
[[ $(wc -l <"$work/inputs.txt") -eq 200 ]] || fail "200 inputs were not made"

# check_pages FOLDER NAME:INPUT,PAGE;... : each PDF holds exactly those pages (a page's
# size tells its input and page apart).
check_pages() {
    python3 - "$@" <<'PYEOF'
import json, subprocess, sys
folder, wanted = sys.argv[1], sys.argv[2:]
for item in wanted:
    name, pages = item.split(":")
    path = f"{folder}/{name}"
    doc = json.loads(subprocess.run(["qpdf", "--json=2", "--json-key=pages", "--json-key=qpdf",
                                     path], capture_output=True, check=True).stdout)
    objects = doc["qpdf"][1]
    found = []
    for page in doc["pages"]:
        box = objects["obj:" + page["object"]]["value"]["/MediaBox"]
        found.append(f"{int(box[2]) - 100},{int(box[3]) - 100}")
    if found != pages.split(";"):
        sys.exit(f"{path} holds the pages {found}, not {pages}")
PYEOF
}

status=0
PAGEMELD_CLI=$cli "$script" split "$work/inputs.txt" "$work/pages" -j "$jobs" || status=$?
[[ $status -eq 3 ]] || fail "split: the script ended with $status, not 3 (one input wrote nothing)"
# Job log: one line per input, status 3 for the line of doc 077 alone.
awk -F '\t' 'NR > 1 { print $7, $NF }' "$work/pages/jobs.log" | sort -n -k1,1 >"$work/statuses"
[[ $(wc -l <"$work/statuses") -eq 200 ]] || fail "split: the job log holds $(wc -l <"$work/statuses") jobs"
[[ $(grep -c '^0 ' "$work/statuses") -eq 199 ]] || fail "split: not 199 jobs with status 0"
grep -q '^3 .*doc 077[.]pdf' "$work/statuses" || fail "split: doc 077 did not end with status 3"
pieces=()
for n in $(seq 1 200); do
    [[ $n -eq 77 ]] && continue
    for p in $(seq 1 $((n % 3 + 1))); do pieces+=("$(printf '%d-doc %03d0%d.pdf' "$n" "$n" "$p"):$n,$p"); done
done
check_pages "$work/pages" "${pieces[@]}" || fail "split: a piece is missing or wrong"
[[ $(find "$work/pages" -name "*.pdf" | wc -l) -eq ${#pieces[@]} ]] || fail "split: other pieces written"

# Merge in groups of 50, without the bad input: four requests, every page in order.
grep -v "doc 077" "$work/inputs.txt" >"$work/good.txt"
status=0
GROUP=50 PAGEMELD_CLI=$cli "$script" merge "$work/good.txt" "$work/merged" -j "$jobs" || status=$?
[[ $status -eq 0 ]] || fail "merge: the script ended with $status, not 0"
[[ $(awk -F '\t' 'NR > 1 && $7 == 0' "$work/merged/jobs.log" | wc -l) -eq 4 ]] ||
    fail "merge: not four requests with status 0"
# Groups of 50 lines: inputs 1-50, 51-101 (without 77), 102-151, 152-200.
groups=()
for range in "1 50" "51 101" "102 151" "152 200"; do
    pages=""
    for n in $(seq $range); do
        [[ $n -eq 77 ]] && continue
        for p in $(seq 1 $((n % 3 + 1))); do pages+="${pages:+;}$n,$p"; done
    done
    groups+=("group-$((${#groups[@]} + 1)).pdf:$pages")
done
check_pages "$work/merged" "${groups[@]}" || fail "merge: the pages are not those of the inputs, in order"
echo "batch-parallel.sh: 200 inputs split and 199 merged with -j $jobs"
