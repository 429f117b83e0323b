# Shared by the shard tests: the tool, the sample and what a failed check prints.
#   source common.sh TOOL SAMPLE
tool=$1
sample=$2
tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
samples_dir=$(cd "$(dirname "$sample")" && pwd)
work=$(mktemp -d)

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The same bytes, or the difference shown.
same_file() {
    cmp -s "$1" "$2" || {
        diff "$1" "$2" | head -n 20 >&2
        fail "$3: $1 and $2 differ"
    }
}

# A control report as a merge must reproduce it: a merge knows the document by its SHA-256
# alone (the partials do not hold its name), and it may run with another version or on another
# day, so the name goes and the version and date are placeholders.
comparable_report() {
    sed -e 's/^Document: .*SHA-256 /Document: SHA-256 /' -e '/^<tr><th>Document<\/th>/d' \
        -e 's/strandix [^ <]* on [0-9]\{4\}-[0-9]\{2\}-[0-9]\{2\}/strandix VERSION on DATE/' "$1"
}

# The same report, but for what comparable_report leaves out.
same_report() {
    comparable_report "$1" >"$1.comparable"
    comparable_report "$2" >"$2.comparable"
    same_file "$1.comparable" "$2.comparable" "$3"
}

# The single run's "controls" member: exactly the text between its name and the closing brace
# of the whole document.
controls_of_single() {
    sed -n 's/.*, "controls": \(.*\)}$/\1/p' "$1"
}
controls_of_merge() {
    sed -n 's/^{"controls": \(.*\)}$/\1/p' "$1"
}

# The grep pattern of the shard line of part-K.json of N shards.
shard_line() {
    echo "\"shard\": {\"index\": $1, \"count\": $2[,}]"
}

# The single run of a case and its JSON, in FOLDER: single.txt, single.html, single.json. A case
# may start with a command's name (proximity); the options follow it.
run_single() {
    local folder=$1
    shift
    mkdir -p "$folder"
    local status=0
    "$tool" "$@" -q --report "$folder/single.html" >"$folder/single.txt" || status=$?
    [ "$status" -le 1 ] || fail "the single run $* exited $status"
    status=0
    "$tool" "$@" -q --json >"$folder/single.json" || status=$?
    [ "$status" -le 1 ] || fail "the single run --json $* exited $status"
    [ -s "$folder/single.txt" ] && grep -q '"controls": \|"pairs": \[' "$folder/single.json" ||
        fail "the single run $* printed no report"
}
