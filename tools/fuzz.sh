#!/usr/bin/env bash
# Builds the search fuzzer with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it for a bounded time: the product engine against the literal one on random input.
#   tools/fuzz.sh [SECONDS]      (default 60; FUZZ_BUILD names the build folder, default build/fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=$root/${FUZZ_BUILD:-build/fuzz}
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" -o "$out/search_fuzz" "$root/fuzz/search_fuzz.cpp" \
    "$root"/search/*.cpp "$root"/platform/physical_memory_posix.cpp -pthread

# The corpus stays in the build folder between runs; crashes are written there too.
cd "$out"
status=0
./search_fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=1024 \
    -print_final_stats=1 corpus >fuzz.log 2>&1 || status=$?
grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|Done)' \
    fuzz.log || true
if [ "$status" -ne 0 ]; then
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix)' fuzz.log >&2 || true
    echo "fuzz.sh: the fuzzer failed (status $status); see $out/fuzz.log" >&2
    exit "$status"
fi
echo "fuzz.sh: no difference found in ${seconds} s"
