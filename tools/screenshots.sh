#!/usr/bin/env bash
# Takes the README's pictures of Strandix!.exe under Wine in Xvfb: the splash screen, the main
# dialog after a search and after a Hebrew search, at 100 %, 150 % and 200 % display scaling (96,
# 144 and 192 dots per inch), and the Hebrew search's page as headless Chromium shows it. Writes
# docs/screenshots/splash.png, main-dialog.png and main-dialog-hebrew.png (96), the same with
# -144 and -192 before .png, and hebrew-page.png.
#   bash tools/screenshots.sh            (builds build/gui-win first when needed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${STRANDIX_SCREENSHOT_BUILD:-build/gui-win}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
fi
cmake --build "$build" --target strandix_gui gui_screenshots -j 2

# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
trap strandix_wine_stop EXIT
mkdir -p docs/screenshots
# Room for the main dialog at 200 %.
"$strandix_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1200 /f \
    </dev/null >/dev/null 2>&1

for dpi in 96 144 192; do
    # The scale is read when the prefix's server starts: set it, then start the server anew.
    "$strandix_wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
        /f </dev/null >/dev/null 2>&1
    "$strandix_wineserver" -k || true
    "$strandix_wineserver" -w
    "$strandix_wineserver" -p
    "$strandix_wine" wineboot </dev/null >/dev/null 2>&1 || true

    shots="$strandix_wine_root/shots-$dpi"
    mkdir -p "$shots"
    xvfb-run -a -s "-screen 0 1600x1200x24" \
        "$strandix_wine" "$build/tests/app/gui_screenshots.exe" "Z:${shots//\//\\}"
    suffix=""
    [ "$dpi" = 96 ] || suffix="-$dpi"
    python3 - "$shots" docs/screenshots "$suffix" <<'PY'
# 24-bit BMP to PNG with the standard library only.
import struct, sys, zlib, os
src, dst, suffix = sys.argv[1], sys.argv[2], sys.argv[3]
for name in ("splash", "main-dialog", "main-dialog-hebrew"):
    data = open(os.path.join(src, name + ".bmp"), "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    row = (width * 3 + 3) & ~3
    raw = bytearray()
    for y in range(abs(height)):
        line = data[offset + (abs(height) - 1 - y) * row:][: width * 3] if height > 0 else \
            data[offset + y * row:][: width * 3]
        raw.append(0)
        for x in range(width):
            b, g, r = line[3 * x: 3 * x + 3]
            raw += bytes((r, g, b))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    out = os.path.join(dst, name + suffix + ".png")
    open(out, "wb").write(png)
    print("wrote", out, width, "x", abs(height))
PY
done

# The Hebrew page as a browser shows it (the page declares UTF-8; its rows run right to left).
profile=$(mktemp -d)
/usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --window-size=900,700 \
    --screenshot="$root/docs/screenshots/hebrew-page.png" \
    "file://$strandix_wine_root/shots-96/hebrew-page.htm" 2>/dev/null
rm -rf "$profile"
echo "wrote docs/screenshots/hebrew-page.png"
