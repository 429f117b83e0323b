#!/usr/bin/env bash
# X4: the X2 list of the proximity bench as 4 shards through GNU parallel and merged, against the
# single run: the same JSON, the wall and processor times of both with their ratios, and the
# matrix pairs per second of wall time.
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
listed=$(grep -c '"word1"' "$work/single.json")
# The full c matrix: every name with every date (the writer's words all have 5 to 8 letters, so
# every one takes part).
matrix=$(awk -F'\t' '$2 == "name" { n++ } $2 == "date" { d++ } END { print n * d }' \
    "$work/x2-list.txt")
rate() { awk -v p="$matrix" -v s="$1" 'BEGIN { printf "%.0f", p / s }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
echo "| Row | Wall | Processor | Pairs per second (wall) | Notes |"
echo "|---|---|---|---|---|"
echo "| X2 single run (tool) | ${single_wall} s | ${single_cpu} s | $(rate "$single_wall") | $matrix pairs in the matrix, $listed listed; 999,999 permutations included |"
echo "| X4 4 shards by GNU parallel + merge | ${shards_wall} s | ${shards_cpu} s | $(rate "$shards_wall") | same JSON: $same; to X2: wall $(ratio "$shards_wall" "$single_wall"), processor $(ratio "$shards_cpu" "$single_cpu") |"
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$same" = yes ]
