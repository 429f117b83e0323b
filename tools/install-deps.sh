#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again.
set -euo pipefail

packages=(
    # Native tree, tests, the layer and option checks, the Debian package (build-essential
    # brings dpkg-dev for the package's library dependencies).
    build-essential cmake ninja-build git python3 googletest
    # The formatting and shell-script checks.
    clang-format shellcheck
    # Windows tree and its tests under Wine.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine fonts-liberation xvfb xauth
    # Fuzzing (libFuzzer).
    clang libclang-rt-14-dev
    # Benchmarks only: Google Benchmark and the King James text the bench targets read.
    libbenchmark-dev bible-kjv
    # Shards of control runs: the partials' JSON, and the schedulers their tests run.
    nlohmann-json3-dev parallel slurmctld slurmd slurm-client munge
    # The Python package (for Debian's python3) and its tests; numpy, pandas and matplotlib are
    # optional for the package, and the tutorial notebook runs with nbclient and ipykernel.
    python3-dev pybind11-dev python3-pybind11 python3-pytest python3-numpy python3-pandas
    python3-matplotlib python3-nbclient python3-ipykernel
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
