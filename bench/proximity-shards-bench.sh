#!/usr/bin/env bash
# X4: the X2 list of the proximity bench as 4 shards through GNU parallel and merged, against the
# single run: the same JSON, and the wall and processor times of both.
#   proximity-shards-bench.sh TOOL LIST_WRITER GENESIS
set -euo pipefail
tool=$1
writer=$2
genesis=$3
tools_dir=$(cd "$(dirname "$0")/../tools" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v parallel >/dev/null || { echo "GNU parallel is not installed" >&2; exit 2; }

"$writer" "$genesis" >"$work/x2-list.txt"
run=(proximity --alphabet hebrew --seed 18 "$genesis" --list "$work/x2-list.txt")
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# Wall, user and system seconds of a command (bash's time keyword counts its children).
TIMEFORMAT='%R %U %S'
{ time "$tool" "${run[@]}" -q --json >"$work/single.json"; } 2>"$work/single.time"
{ time "$tools_dir/strandix-parallel.sh" --json --strandix "$tool" -n 4 -d "$work/shards" \
    -- "${run[@]}" >"$work/merged.json"; } 2>"$work/shards.time"
read -r single_wall single_user single_system <"$work/single.time"
read -r shards_wall shards_user shards_system <"$work/shards.time"
single_cpu=$(awk -v u="$single_user" -v s="$single_system" 'BEGIN { printf "%.2f", u + s }')
shards_cpu=$(awk -v u="$shards_user" -v s="$shards_system" 'BEGIN { printf "%.2f", u + s }')

same=no
cmp -s "$work/single.json" "$work/merged.json" && same=yes
pairs=$(grep -c '"word1"' "$work/single.json")
echo
echo "| Row | Wall | Processor | Notes |"
echo "|---|---|---|---|"
echo "| X2 single run (tool) | ${single_wall} s | ${single_cpu} s | $pairs listed pairs, 999,999 permutations |"
echo "| X4 4 shards by GNU parallel + merge | ${shards_wall} s | ${shards_cpu} s | same JSON: $same; ratio to X2 wall $(awk -v a="$shards_wall" -v b="$single_wall" 'BEGIN { printf "%.2f", a / b }'), processor $(awk -v a="$shards_cpu" -v b="$single_cpu" 'BEGIN { printf "%.2f", a / b }') |"
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$same" = yes ]
