#!/usr/bin/env bash
# A Slurm job array of shards and its dependent merge, on a one-node cluster that this test
# starts and always stops: the report equals the single run's, and every job wrote its file.
#   slurm_test.sh TOOL SAMPLE
set -euo pipefail
source "$(dirname "$0")/common.sh"
cluster=$work/cluster
cleanup() {
    "$tools_dir/slurm-cluster.sh" stop "$cluster" || true
    rm -rf "$work"
}
trap cleanup EXIT
for program in slurmctld slurmd sbatch munged; do
    command -v "$program" >/dev/null || { echo "SKIPPED: $program is not installed"; exit 77; }
done
[ "$(id -u)" -eq 0 ] || { echo "SKIPPED: the test cluster runs its daemons as root"; exit 77; }

start=$(date +%s.%N)
"$tools_dir/slurm-cluster.sh" start "$cluster" >/dev/null
export SLURM_CONF=$cluster/etc/slurm.conf
started=$(date +%s.%N)

shards=4
run=("$sample" moses --controls 20 --seed 11 --threads 1)
run_single "$work/single" "${run[@]}"

# The jobs run from here; a shared folder stands for the cluster's shared file system.
cd "$work"
"$tools_dir/strandix-slurm.sh" --wait --strandix "$tool" -n "$shards" -d "$work/run" \
    -- "${run[@]}" >submitted.txt || fail "strandix-slurm: $(cat submitted.txt)"
finished=$(date +%s.%N)
grep -q "The report will be in $work/run/report.txt" submitted.txt ||
    fail "strandix-slurm did not say where the report is: $(cat submitted.txt)"

for ((k = 0; k < shards; k++)); do
    grep -q "$(shard_line $k "$shards")" "$work/run/part-$k.json" ||
        fail "array task $k wrote no partial of shard $k/$shards"
    [ -e "$work/run/logs/shard-$k.log" ] || fail "array task $k left no log"
    [ ! -s "$work/run/logs/shard-$k.log" ] || fail "array task $k: $(cat "$work/run/logs/shard-$k.log")"
done
[ ! -s "$work/run/logs/merge.log" ] || fail "merge job: $(cat "$work/run/logs/merge.log")"
same_report "$work/single/single.txt" "$work/run/report.txt" "Slurm text report"
same_report "$work/single/single.html" "$work/run/report.html" "Slurm page"

# A proximity list as a job array: the same text and page as its single run.
proximity=(proximity --alphabet hebrew --permutations 999 --threads 1
    "$samples_dir/genesis-koren.txt" --list "$samples_dir/genesis-demo-list.txt")
run_single "$work/proximity-single" "${proximity[@]}"
"$tools_dir/strandix-slurm.sh" --wait --strandix "$tool" -n 3 -d "$work/proximity" \
    -- "${proximity[@]}" >proximity.txt || fail "strandix-slurm proximity: $(cat proximity.txt)"
for ((k = 0; k < 3; k++)); do
    grep -q "$(shard_line $k 3)" "$work/proximity/part-$k.json" ||
        fail "array task $k wrote no proximity partial of shard $k/3"
done
same_report "$work/proximity-single/single.txt" "$work/proximity/report.txt" "Slurm proximity text"
same_report "$work/proximity-single/single.html" "$work/proximity/report.html" "Slurm proximity page"
proximity_finished=$(date +%s.%N)

# A task that fails: no report, a non-zero status, and the failed shard named.
status=0
"$tools_dir/strandix-slurm.sh" --wait --strandix "$tool" -n "$shards" -d "$work/broken" \
    -- "$work/no-such-document.txt" moses --controls 20 >broken.txt 2>&1 || status=$?
[ "$status" -ne 0 ] || fail "strandix-slurm succeeded without a document"
[ ! -e "$work/broken/report.txt" ] || fail "a report without partials"
grep -q "shard 0/$shards wrote no partial" broken.txt || fail "no shard named: $(cat broken.txt)"

awk -v a="$start" -v b="$started" -v c="$finished" -v p="$proximity_finished" \
    -v d="$(date +%s.%N)" 'BEGIN {
    printf "Slurm: cluster up in %.1f s; array of 4 shards and merge in %.1f s; proximity list " \
        "in 3 shards and merge in %.1f s; whole test %.1f s\n", b - a, c - b, p - c, d - a }'
