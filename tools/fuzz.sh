#!/usr/bin/env bash
# Builds a libFuzzer target with clang (AddressSanitizer, UndefinedBehaviorSanitizer) in its own
# tree and runs it for a bounded time.
#   tools/fuzz.sh [SECONDS] [NAME]        run NAME_fuzz (default: search, 60 s)
#   tools/fuzz.sh seed [SECONDS] [NAME]   replace fuzz/corpus/NAME/ by a fresh run's inputs,
#                                         minimised with -merge=1 (default 60 s)
# FUZZ_BUILD names the build folder (default build/fuzz). Each run starts from the committed
# seeds in fuzz/corpus/NAME/ plus what earlier runs in the same build folder found, so every run
# begins deeper than a blank one; crashes are written into the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=run
if [ "${1:-}" = seed ]; then
    mode=seed
    shift
fi
seconds=${1:-60}
name=${2:-search}
out=$root/${FUZZ_BUILD:-build/fuzz}
seeds=$root/fuzz/corpus/$name

if [ ! -f "$out/build.ninja" ]; then
    cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DSTRANDIX_FUZZ=ON -DSTRANDIX_TESTS=OFF >/dev/null
fi
cmake --build "$out" --target "${name}_fuzz"
fuzzer=$out/fuzz/${name}_fuzz
options=(-timeout=20 -rss_limit_mb=2048 -max_len=1024)

if [ "$mode" = seed ]; then
    fresh=$(mktemp -d)
    trap 'rm -rf "$fresh"' EXIT
    (cd "$out" && "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$fresh" >/dev/null 2>&1)
    rm -rf "$seeds"
    mkdir -p "$seeds"
    (cd "$out" && "$fuzzer" "${options[@]}" -merge=1 "$seeds" "$fresh" >/dev/null 2>&1)
    echo "fuzz.sh: $(find "$seeds" -type f | wc -l) seed inputs in fuzz/corpus/$name/" \
        "($(du -sh "$seeds" | cut -f1))"
    exit 0
fi

corpus=$out/corpus/$name
mkdir -p "$corpus"
if [ -d "$seeds" ]; then
    cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
fi
cd "$out"
status=0
"$fuzzer" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 "$corpus" \
    >"$name-fuzz.log" 2>&1 || status=$?
grep -E '^(INFO: seed corpus|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb|Done)' \
    "$name-fuzz.log" || true
if [ "$status" -ne 0 ]; then
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix)' "$name-fuzz.log" >&2 || true
    echo "fuzz.sh: ${name}_fuzz failed (status $status); see $out/$name-fuzz.log" >&2
    exit "$status"
fi
echo "fuzz.sh: ${name}_fuzz found no fault in ${seconds} s"
