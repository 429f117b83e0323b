#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the command-line tool and searches the bundled sample
# (Genesis, King James Version) for two keywords; prints where the results page is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/install-deps.sh
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target strandix -j "$(nproc)"

echo "Searching samples/genesis.txt for: moses aaron"
status=0
page=$(build/native/cli/strandix -q samples/genesis.txt moses aaron) || status=$?
if [ "$status" -ge 2 ]; then
    echo "The search failed (exit status $status)." >&2
    exit "$status"
fi
echo "$page" | head -n 1
echo "The results page is $(echo "$page" | tail -n 1)"
echo "Open it in a web browser, or run the tool again with --open."
