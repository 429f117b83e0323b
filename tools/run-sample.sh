#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the native tree and searches the bundled sample.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/install-deps.sh
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$(nproc)"
echo "Built. (The command-line tool and the sample search arrive with the results page.)"
