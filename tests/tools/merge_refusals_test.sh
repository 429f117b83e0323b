#!/usr/bin/env bash
# strandix merge refuses partials that are not every shard of one run exactly once: exit 2, no
# report, and a message naming the file and what is wrong.
#   merge_refusals_test.sh TOOL SAMPLE
set -euo pipefail
source "$(dirname "$0")/common.sh"
trap 'rm -rf "$work"' EXIT
cd "$work"

run=("$sample" moses --controls 9 --seed 3)
for k in 0 1 2; do "$tool" -q "${run[@]}" --shard "$k/3" -o "p$k.json"; done
"$tool" -q "$sample" moses --controls 9 --seed 4 --shard 2/3 -o seed4.json
"$tool" -q "$sample" moses --controls 9 --seed 3 --shard 1/2 -o half.json
"$tool" -q "$sample" moses --controls 9 --seed 3 --max-skip 400 --shard 2/3 -o skip.json
"$tool" -q --json "$sample" moses >results.json || true
cp p1.json copy.json
head -c 400 p2.json >cut.json
sed 's/^\[2, \([0-9]*\), /[2, 1\1, /' p2.json >changed.json
cmp -s p2.json changed.json && fail "the fixture changed nothing"
printf '' >empty.json

# files | what the message says
cases=(
    "p0.json p1.json seed4.json|seed4.json: its seed (4) differs from p0.json's (3)"
    "p0.json skip.json p1.json|skip.json: its letter distance (400) differs from p0.json's (500)"
    "p0.json p1.json half.json|half.json: it is one of 2 shards, while p0.json is one of 3"
    "p0.json p2.json|Shard 1/3 is missing"
    "p0.json p1.json copy.json p2.json|copy.json: it holds shard 1/3, as p1.json does"
    "p0.json p0.json p1.json p2.json|p0.json: the file is named twice."
    "p0.json p1.json cut.json|cut.json, read as a partial of a control run: the file ends before the partial does: it was cut off."
    "p0.json p1.json changed.json|changed.json, read as a partial of a control run: the checksum does not match the content"
    "p0.json empty.json|empty.json: the file is empty."
    "results.json p0.json|results.json: the file is not a strandix partial: it has no field \"format\"."
    "p0.json p1.json gone.json|gone.json: the file could not be opened."
)
for entry in "${cases[@]}"; do
    files=${entry%%|*}
    expected=${entry#*|}
    status=0
    # shellcheck disable=SC2086
    "$tool" merge --report page.html $files >out.txt 2>err.txt || status=$?
    [ "$status" -eq 2 ] || fail "merge $files exited $status, not 2"
    [ ! -s out.txt ] || fail "merge $files printed a report"
    [ ! -e page.html ] || fail "merge $files wrote a page"
    grep -qF "strandix: $expected" err.txt || fail "merge $files said: $(cat err.txt)"
done
# The partials themselves are sound: together they merge.
"$tool" merge p2.json p0.json p1.json >out.txt || [ $? -eq 1 ] || fail "the sound partials"
grep -q '^Controls: 9 letters controls, seed 3' out.txt || fail "merged report: $(cat out.txt)"
echo "merge: ${#cases[@]} kinds of bad partials refused"
