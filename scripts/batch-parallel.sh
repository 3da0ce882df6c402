#!/usr/bin/env bash
# Runs a large batch of quiet requests with GNU parallel, on this machine or on many:
#
#   scripts/batch-parallel.sh split INPUTS.txt OUTPUT_FOLDER [parallel options...]
#       one request per input: every page of each input into OUTPUT_FOLDER, the
#       pieces of the input on line N named N-<name>01.pdf, N-<name>02.pdf, ...
#   scripts/batch-parallel.sh merge INPUTS.txt OUTPUT_FOLDER [parallel options...]
#       one request per group of GROUP lines (100 unless set): each group merged,
#       in order, into OUTPUT_FOLDER/group-N.pdf; its names reach the request on
#       standard input (@-), so no command line grows with the group
#
# INPUTS.txt holds one input name a line (absolute names, or relative to the folder
# the script is started in). Options after the folder go to GNU parallel: -j 4 for
# four requests at once; --sshlogin host1,host2 (with --workdir . and the same folders
# on every host, pagemeld-cli installed on each) to spread them over machines.
# PAGEMELD_CLI names the program (pagemeld-cli on the PATH unless set).
#
# Every request's exit status is in OUTPUT_FOLDER/jobs.log (GNU parallel's --joblog,
# column Exitval): 0 done, 1 done but something left out, 2 refused, 3 nothing
# written. The script ends with the highest status of any request, 0 when all were
# done.
set -euo pipefail

usage() {
    sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
[[ $# -ge 3 ]] || usage
mode=$1 inputs=$2 output=$3
shift 3
[[ -r $inputs ]] || { echo "batch-parallel.sh: cannot read $inputs" >&2; exit 2; }
mkdir -p "$output"
cli=${PAGEMELD_CLI:-pagemeld-cli}
joblog=$output/jobs.log
rm -f "$joblog"

# --will-cite: the citation notice would wait for an answer; --quote: folder names
# with spaces stay one argument; pagemeld-cli -q: no progress line.
case $mode in
split)
    # {#} is the job's number, the input's line: pieces of two inputs of one name
    # never meet.
    parallel --will-cite --quote --joblog "$joblog" "$@" -a "$inputs" \
        "$cli" -qs -q {} -o "$output/{#}-" || true
    ;;
merge)
    parallel --will-cite --quote --joblog "$joblog" "$@" --pipe -N "${GROUP:-100}" \
        "$cli" -qm -q @- -o "$output/group-{#}.pdf" <"$inputs" || true
    ;;
*)
    usage
    ;;
esac

# The highest Exitval of the job log (a job killed by a signal counts as 3: it wrote
# nothing for certain).
awk -F '\t' 'NR > 1 { status = ($8 != 0) ? 3 : $7; if (status > worst) worst = status }
             END { exit worst + 0 }' "$joblog"
