#!/usr/bin/env bash
# Writes the King James text, one verse a line without its reference, from Debian's bible-kjv
# package to $1. Used at bench time to fill a cache in the build folder; never committed.
set -euo pipefail
out=$1
if ! command -v bible >/dev/null; then
    echo "make-kjv.sh: the 'bible' command (Debian package bible-kjv) is not installed" >&2
    exit 1
fi
# -f: one verse a line as "Ge1:1 In the beginning ..."; the reference is dropped.
bible -f Gen1:1-Rev22:21 </dev/null | sed -E 's/^[^ ]+ //' >"$out.tmp"
mv "$out.tmp" "$out"
