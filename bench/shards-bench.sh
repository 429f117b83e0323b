#!/usr/bin/env bash
# Shards of control runs, timed: the merge of 1,000 partials of 1,000 controls and the size of
# one partial (strandix_shard_bench), then W1's letters controls split into shards that GNU
# parallel runs on this machine, against the single run: the same report, and the times (best
# of two each, wall and processor).
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

# Wall and processor seconds ("real user+sys") of a command and its children.
timed() {
    local TIMEFORMAT='%R %U %S' times
    times=$({ time "$@" >/dev/null; } 2>&1 | tail -n 1)
    awk '{ printf "%.2f %.2f", $1, $2 + $3 }' <<<"$times"
}
single() { "$tool" -q "${w1[@]}" >"$work/single.txt"; }
# One single-threaded shard per core at a time: the cores stay busy until the last control.
sharded() {
    rm -rf "$work/shards"
    "$root/tools/strandix-parallel.sh" --strandix "$tool" -n "$shards" -j "$(nproc)" \
        -d "$work/shards" -- "${w1[@]}" --threads 1 >"$work/merged.txt"
}

# Alternated, so that a change in the machine's load falls on both.
read -r single_wall single_cpu <<<"$(timed single)"
read -r sharded_wall sharded_cpu <<<"$(timed sharded)"
read -r wall cpu <<<"$(timed single)"
single_wall=$(awk -v a="$single_wall" -v b="$wall" 'BEGIN { print (a < b ? a : b) }')
single_cpu=$(awk -v a="$single_cpu" -v b="$cpu" 'BEGIN { print (a < b ? a : b) }')
read -r wall cpu <<<"$(timed sharded)"
sharded_wall=$(awk -v a="$sharded_wall" -v b="$wall" 'BEGIN { print (a < b ? a : b) }')
sharded_cpu=$(awk -v a="$sharded_cpu" -v b="$cpu" 'BEGIN { print (a < b ? a : b) }')

same=no
cmp -s "$work/single.txt" "$work/merged.txt" && same=yes
printf 'W1 letters controls: %d, %d shards by GNU parallel (%d at a time, merge included), %d cores, load %s\n' \
    "$controls" "$shards" "$(nproc)" "$(nproc)" "$(cut -d' ' -f1 /proc/loadavg)"
awk -v s="$single_wall" -v p="$sharded_wall" -v sc="$single_cpu" -v pc="$sharded_cpu" \
    -v same="$same" 'BEGIN {
    printf "  single run %.1f s (processor %.1f s); shards %.1f s (processor %.1f s); ratio %.3f (processor %.3f); same report: %s\n",
        s, sc, p, pc, p / s, pc / sc, same }'
[ "$same" = yes ]
