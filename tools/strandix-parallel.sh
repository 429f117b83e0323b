#!/usr/bin/env bash
# Runs the controls of a strandix search, or a strandix proximity list, as shards under GNU
# parallel, on this machine or on several, and merges them into one report.
#
#   tools/strandix-parallel.sh [options] -n SHARDS -d FOLDER -- DOCUMENT KEYWORD... --controls N [...]
#   tools/strandix-parallel.sh [options] -n SHARDS -d FOLDER -- proximity DOCUMENT --list FILE [...]
#
# Everything after "--" is the strandix command line of the single run. Shard K runs it with
# --shard K/SHARDS and writes FOLDER/part-K.json; when every shard has succeeded, the merge
# prints the report (text, or JSON with --json) to standard output and writes
# FOLDER/report.html.
#
# Options:
#   -n, --shards SHARDS     number of shards (1 or more; at most the number of controls)
#   -d, --folder FOLDER     where the partials and the page go (created if missing)
#   -j, --jobs JOBS         shards run at once on each machine [1: each shard uses every core]
#   -S, --sshlogin LOGIN    run on this machine too (repeat, or a comma list; ":" is this one);
#                           strandix must be on the remote PATH (or --strandix names it)
#   --transfer              copy the document to each remote machine and the partials back
#                           (without it, DOCUMENT and FOLDER must be on a shared folder with
#                           the same path everywhere)
#   --strandix PROGRAM      the strandix to run [strandix from PATH]
#   --json                  the report as JSON
set -euo pipefail

die() {
    echo "strandix-parallel: $*" >&2
    exit 2
}

shards=""
folder=""
jobs=1
program=""
json=false
transfer=false
logins=()
while [ $# -gt 0 ]; do
    case $1 in
        -n | --shards) shards=${2:-}; shift 2 || die "$1 needs a value" ;;
        -d | --folder) folder=${2:-}; shift 2 || die "$1 needs a value" ;;
        -j | --jobs) jobs=${2:-}; shift 2 || die "$1 needs a value" ;;
        -S | --sshlogin) logins+=(--sshlogin "${2:-}"); shift 2 || die "$1 needs a value" ;;
        --transfer) transfer=true; shift ;;
        --strandix) program=${2:-}; shift 2 || die "$1 needs a value" ;;
        --json) json=true; shift ;;
        -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        --) shift; break ;;
        *) die "unknown option $1 (the strandix command line comes after --)" ;;
    esac
done
[[ "$shards" =~ ^[1-9][0-9]*$ ]] || die "-n SHARDS must be a whole number 1 or more"
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || die "-j JOBS must be a whole number 1 or more"
[ -n "$folder" ] || die "-d FOLDER is missing"
[ $# -gt 0 ] || die "the strandix command line is missing after --"
command -v parallel >/dev/null || die "GNU parallel is not on PATH"
if [ -z "$program" ]; then
    program=$(command -v strandix) || die "strandix is not on PATH; name it with --strandix"
fi

mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
if compgen -G "$folder/part-*.json" >/dev/null; then
    die "$folder already holds partials of another run; choose an empty folder"
fi

options=(--halt "now,fail=1" --jobs "$jobs")
output="$(printf '%q' "$folder")/part-{}.json"
if ((${#logins[@]})); then
    options+=("${logins[@]}")
    if $transfer; then
        # The document goes once to each machine (into the remote home folder, beside which the
        # shards write their partials); the partials come back here and are moved into FOLDER.
        document=$1
        [ -f "$document" ] || die "$document is not a file"
        cd "$(dirname "$document")"
        set -- "$(basename "$document")" "${@:2}"
        options+=(--basefile "$1" --return "part-{}.json" --cleanup)
        output="part-{}.json"
    fi
fi

# parallel joins the command's words into one shell line: quote them for that shell.
command=$(printf '%q ' "$program" "$@")
parallel "${options[@]}" "$command--quiet --shard {}/$shards -o $output" ::: $(seq 0 $((shards - 1)))
if $transfer && ((${#logins[@]})); then
    for ((k = 0; k < shards; k++)); do mv "part-$k.json" "$folder/"; done
fi

partials=()
for ((k = 0; k < shards; k++)); do partials+=("$folder/part-$k.json"); done
if $json; then
    exec "$program" merge --json "${partials[@]}"
fi
exec "$program" merge --report "$folder/report.html" "${partials[@]}"
