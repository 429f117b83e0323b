#!/usr/bin/env bash
# Runs the controls of a strandix search, or a strandix proximity list, as a Slurm job array and
# merges them into one report.
#
#   tools/strandix-slurm.sh [options] -n SHARDS -d FOLDER -- DOCUMENT KEYWORD... --controls N [...]
#
# Everything after "--" is the strandix command line of the single run (document, keywords,
# search options, --controls, --control-kind, --seed, ...). Task K of the array runs it with
# --shard K/SHARDS and writes FOLDER/part-K.json; a merge job that starts when every task has
# succeeded (--dependency=afterok) writes the report to FOLDER/report.txt and FOLDER/report.html.
# FOLDER must be on a file system that every node sees.
#
# Options:
#   -n, --shards SHARDS   number of array tasks (1 or more; at most the number of controls)
#   -d, --folder FOLDER   where the partials, the logs and the report go (created if missing)
#   -s, --sbatch ARG      one more argument for both sbatch calls (repeat for more), e.g.
#                         -s --partition=short -s --time=02:00:00; SBATCH_* variables work too
#   --strandix PROGRAM    the strandix to run on the nodes [strandix from PATH]
#   --json                the report as JSON (FOLDER/report.json) instead of text
#   --wait                wait until the merge has ended; exit 0 only when the report is there
set -euo pipefail

die() {
    echo "strandix-slurm: $*" >&2
    exit 2
}

shards=""
folder=""
program=""
json=false
wait=false
sbatch_args=()
while [ $# -gt 0 ]; do
    case $1 in
        -n | --shards) shards=${2:-}; shift 2 || die "$1 needs a value" ;;
        -d | --folder) folder=${2:-}; shift 2 || die "$1 needs a value" ;;
        -s | --sbatch) sbatch_args+=("${2:-}"); shift 2 || die "$1 needs a value" ;;
        --strandix) program=${2:-}; shift 2 || die "$1 needs a value" ;;
        --json) json=true; shift ;;
        --wait) wait=true; shift ;;
        -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        --) shift; break ;;
        *) die "unknown option $1 (the strandix command line comes after --)" ;;
    esac
done
[[ "$shards" =~ ^[1-9][0-9]*$ ]] || die "-n SHARDS must be a whole number 1 or more"
[ -n "$folder" ] || die "-d FOLDER is missing"
[ $# -gt 0 ] || die "the strandix command line is missing after --"
command -v sbatch >/dev/null || die "sbatch is not on PATH"

if [ -z "$program" ]; then
    program=$(command -v strandix) || die "strandix is not on PATH; name it with --strandix"
fi
[ -x "$program" ] || die "$program is not a program"
case $program in /*) ;; *) program=$PWD/$program ;; esac

mkdir -p "$folder/logs"
folder=$(cd "$folder" && pwd)
if compgen -G "$folder/part-*.json" >/dev/null; then
    die "$folder already holds partials of another run; choose an empty folder"
fi

# Relative paths in the strandix command line are taken from here, where the jobs start too.
quoted_run=$(printf '%q ' "$program" "$@")
partials=""
for ((k = 0; k < shards; k++)); do partials+=" $(printf '%q' "$folder/part-$k.json")"; done

if $json; then
    merge_output=$(printf '%q ' --json)
    report=$folder/report.json
else
    merge_output=$(printf '%q ' --report "$folder/report.html")
    report=$folder/report.txt
fi

array_job=$(sbatch --parsable "${sbatch_args[@]}" --job-name=strandix-shards \
    --array="0-$((shards - 1))" --chdir="$PWD" --output="$folder/logs/shard-%a.log" \
    --wrap "exec $quoted_run--quiet --shard \"\$SLURM_ARRAY_TASK_ID/$shards\" \
-o \"$folder/part-\$SLURM_ARRAY_TASK_ID.json\"")
array_job=${array_job%%;*}

merge_wait=()
$wait && merge_wait=(--wait)
# The report appears only when the merge succeeded (status 1 only says that the real search found
# nothing); a refused merge leaves its reason in the log.
status=0
merge_job=$(sbatch --parsable "${merge_wait[@]}" "${sbatch_args[@]}" --job-name=strandix-merge \
    --dependency="afterok:$array_job" --kill-on-invalid-dep=yes --chdir="$PWD" \
    --output="$folder/logs/merge.log" \
    --wrap "$(printf '%q ' "$program" merge)$merge_output$partials \
> $(printf '%q' "$report.part"); status=\$?; [ \$status -le 1 ] || exit \$status; \
mv $(printf '%q %q' "$report.part" "$report")") || status=$?
merge_job=${merge_job%%;*}

echo "Shards: job array $array_job ($shards tasks); merge: job $merge_job."
if $json; then
    echo "The report will be in $report."
else
    echo "The report will be in $report and $folder/report.html."
fi
echo "Logs: $folder/logs/"
$wait || exit "$status"

# sbatch --wait says 0 for a merge that Slurm cancelled because a task failed: the report itself
# is the proof that everything ran.
if [ -s "$report" ]; then
    exit 0
fi
for ((k = 0; k < shards; k++)); do
    [ -s "$folder/part-$k.json" ] || echo "strandix-slurm: shard $k/$shards wrote no partial; see" \
        "$folder/logs/shard-$k.log" >&2
done
echo "strandix-slurm: the merge wrote no report; see $folder/logs/merge.log" >&2
exit 1
