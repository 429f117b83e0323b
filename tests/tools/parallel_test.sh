#!/usr/bin/env bash
# Shards run by GNU parallel and merged give the single run's report, byte for byte, as text, as
# JSON and as a page.
#   parallel_test.sh TOOL SAMPLE
set -euo pipefail
source "$(dirname "$0")/common.sh"
trap 'rm -rf "$work"' EXIT
command -v parallel >/dev/null || fail "GNU parallel is not installed"

# Each case: shards, then the strandix command line of the run.
cases=(
    "3|$sample|moses|--controls|24|--seed|5"
    "4|$sample|moses aaron|--controls|10|--control-kind|words|--max-skip|300"
    "2|$sample|abraham|--controls|7|--control-kind|keywords|--no-reverse"
    "3|proximity|--alphabet|hebrew|--permutations|999|$samples_dir/genesis-koren.txt|--list|$samples_dir/genesis-demo-list.txt"
)
number=0
for entry in "${cases[@]}"; do
    IFS='|' read -r -a words <<<"$entry"
    shards=${words[0]}
    run=("${words[@]:1}")
    folder=$work/case-$number
    number=$((number + 1))
    run_single "$folder" "${run[@]}"

    "$tools_dir/strandix-parallel.sh" --strandix "$tool" -n "$shards" -j 2 -d "$folder/shards" \
        -- "${run[@]}" >"$folder/merged.txt" || [ $? -eq 1 ] || fail "strandix-parallel ${run[*]}"
    for ((k = 0; k < shards; k++)); do
        grep -q "$(shard_line $k "$shards")" "$folder/shards/part-$k.json" ||
            fail "part-$k.json is not shard $k/$shards"
    done
    same_report "$folder/single.txt" "$folder/merged.txt" "text report of ${run[*]}"
    same_report "$folder/single.html" "$folder/shards/report.html" "page of ${run[*]}"

    "$tools_dir/strandix-parallel.sh" --json --strandix "$tool" -n "$shards" \
        -d "$folder/json-shards" -- "${run[@]}" >"$folder/merged.json" || [ $? -eq 1 ] ||
        fail "strandix-parallel --json ${run[*]}"
    if [ "${run[0]}" = proximity ]; then
        # A proximity merge prints the single run's JSON whole.
        same_file "$folder/single.json" "$folder/merged.json" "JSON of ${run[*]}"
        continue
    fi
    controls_of_single "$folder/single.json" >"$folder/single-controls.json"
    controls_of_merge "$folder/merged.json" >"$folder/merged-controls.json"
    [ -s "$folder/single-controls.json" ] || fail "no controls object in the single run's JSON"
    same_file "$folder/single-controls.json" "$folder/merged-controls.json" "JSON of ${run[*]}"
done
echo "GNU parallel: ${#cases[@]} runs (control runs and a proximity list) merged into the single run's reports"
