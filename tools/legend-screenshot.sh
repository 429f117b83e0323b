#!/usr/bin/env bash
# Takes the README's picture of a results page with --legend as headless Chromium shows it:
# MOSES and AARON in Genesis, one result forward and one backward. Writes
# docs/screenshots/legend-page.png.
#   bash tools/legend-screenshot.sh      (builds the native tool in build/native first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${STRANDIX_SCREENSHOT_BUILD:-build/native}
cmake --build "$build" --target strandix -j 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/cli/strandix" -q --legend --max-skip 50 --span 300 --width-from 20 --width-to 40 \
    -o "$work/legend-page.htm" samples/genesis.txt aaron moses >/dev/null
/usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --window-size=900,640 \
    --screenshot="$root/docs/screenshots/legend-page.png" \
    "file://$work/legend-page.htm" 2>/dev/null
echo "wrote docs/screenshots/legend-page.png"
