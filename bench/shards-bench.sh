#!/usr/bin/env bash
# Shards of control runs, timed: the merge of 1,000 partials of 1,000 controls and the size of
# one partial (strandix_shard_bench), then W1's letters controls split into shards that GNU
# parallel runs on this machine, against the single run: the same report, and the times.
#
#   bench/shards-bench.sh STRANDIX SHARD_BENCH BIBLE [CONTROLS [SHARDS]]
#   (CONTROLS defaults to $SHARD_BENCH_CONTROLS or 10000, SHARDS to 4)
set -euo pipefail
tool=$1
shard_bench=$2
bible=$3
controls=${4:-${SHARD_BENCH_CONTROLS:-10000}}
shards=${5:-4}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$shard_bench" --cli "$tool"

w1=("$bible" MOSES --max-skip 10000 --span 40000 --min-width 1 --max-width 500
    --controls "$controls" --seed 1)
now() { date +%s.%N; }

start=$(now)
"$tool" -q "${w1[@]}" >"$work/single.txt"
single=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')

# One single-threaded shard per core at a time: the cores stay busy until the last control.
start=$(now)
"$root/tools/strandix-parallel.sh" --strandix "$tool" -n "$shards" -j "$(nproc)" \
    -d "$work/shards" -- "${w1[@]}" --threads 1 >"$work/merged.txt"
sharded=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')

same=no
cmp -s "$work/single.txt" "$work/merged.txt" && same=yes
awk -v n="$controls" -v k="$shards" -v s="$single" -v p="$sharded" -v same="$same" \
    -v cores="$(nproc)" -v load="$(cut -d' ' -f1 /proc/loadavg)" 'BEGIN {
    printf "W1 letters controls: %d; single run %.1f s; %d shards by GNU parallel (%d at a time, merge included) %.1f s; ratio %.3f; same report: %s; load %s\n",
        n, s, k, cores, p, p / s, same, load }'
[ "$same" = yes ]
