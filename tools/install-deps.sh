#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build git python3
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine fonts-liberation xvfb xauth
    clang libclang-rt-14-dev
    bible-kjv
    slurmctld slurmd slurm-client munge parallel
    nlohmann-json3-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
