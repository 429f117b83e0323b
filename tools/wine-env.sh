# shellcheck shell=bash
# Sourced: a private, warmed-up Wine prefix for running the Windows tests.
#   source tools/wine-env.sh   ... run tests ...   strandix_wine_stop
# Everything lives under one temporary folder (prefix, HOME, TMPDIR), removed by strandix_wine_stop.

strandix_wine_root=$(mktemp -d /tmp/strandix-wine.XXXXXX)
export WINEPREFIX="$strandix_wine_root/prefix"
export HOME="$strandix_wine_root/home"
export TMPDIR="$strandix_wine_root/tmp"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export WINEARCH=win64
mkdir -p "$HOME/.local/share/Trash" "$TMPDIR"

# shellcheck source=cmake/wine-paths.sh
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/cmake/wine-paths.sh"

# Create the prefix, then keep one server alive for the whole run.
"$strandix_wine" wineboot -i </dev/null >/dev/null 2>&1 || true
"$strandix_wineserver" -w
# A virtual desktop: without a window manager Wine otherwise waits 2 s on every window change.
"$strandix_wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 || true
"$strandix_wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1 || true
"$strandix_wineserver" -w
"$strandix_wineserver" -p
"$strandix_wine" wineboot </dev/null >/dev/null 2>&1 || true
# One desktop for the whole run: cmake/wine-run starts this holder on the display of the first
# program it runs (see tools/wine-desktop-holder.c); the holder ends with the server.
if x86_64-w64-mingw32-gcc -O2 -mwindows -o "$strandix_wine_root/desktop-holder.exe" \
    "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-desktop-holder.c"; then
    export STRANDIX_WINE_DESKTOP_HOLDER="$strandix_wine_root/desktop-holder.exe"
fi

strandix_wine_stop() {
    WINEPREFIX="$WINEPREFIX" "$strandix_wineserver" -k 2>/dev/null || true
    WINEPREFIX="$WINEPREFIX" "$strandix_wineserver" -w 2>/dev/null || true
    rm -rf "$strandix_wine_root"
}
