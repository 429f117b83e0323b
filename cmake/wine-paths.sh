# Sourced (POSIX sh) by cmake/wine-run and tools/wine-env.sh: where Wine's own binaries are.
# Full paths, because the wine64 package alone puts no wineboot or wineserver on PATH (those
# come with the recommended "wine" package).
strandix_wine=/usr/lib/wine/wine64
strandix_wineserver=/usr/lib/wine/wineserver64
