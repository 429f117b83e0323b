#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds every tree from scratch and runs every test:
#   native (g++), native with AddressSanitizer + UndefinedBehaviorSanitizer, native with
#   ThreadSanitizer (the threaded code and its tests), and Windows
#   (mingw-w64, run under Wine in Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/install-deps.sh
jobs=$(nproc)

section() { printf '\n==== %s ====\n' "$*"; }

section "layers, formatting and shell scripts"
python3 tools/check-layers.py
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
git ls-files -z 'tools/*.sh' '.ci/*' | xargs -0 shellcheck -x

section "native build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDIX_WERROR=ON
cmake --build build/native -j "$jobs"
section "native tests"
ctest --test-dir build/native --output-on-failure -j "$jobs"

section "Debian package"
# Built in a tree of its own, whose package target must build the tool and no test; unpacked
# into a temporary folder, checked for every file it ships, and run once.
rm -rf build/package
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDIX_WERROR=ON
cmake --build build/package --target package
built_test=$(find build/package/tests -type f -name '*_tests' | head -n 1)
[ -z "$built_test" ] || { echo "the package target built a test: $built_test" >&2; exit 1; }
deb=$(ls build/package/strandix_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/strandix usr/share/man/man1/strandix.1 \
    usr/share/bash-completion/completions/strandix usr/share/doc/strandix/copyright \
    usr/bin/strandix-parallel usr/bin/strandix-slurm; do
    [ -f "$unpacked/$file" ] || { echo "the package lacks /$file" >&2; exit 1; }
done
for script in strandix strandix-parallel strandix-slurm; do
    [ -x "$unpacked/usr/bin/$script" ] || { echo "/usr/bin/$script is not executable" >&2; exit 1; }
done
if grep -n '@[A-Za-z_]*@' "$unpacked/usr/share/man/man1/strandix.1"; then
    echo "the packaged man page holds a placeholder" >&2
    exit 1
fi
version=$(dpkg-deb --field "$deb" Version)
grep -q "\"strandix $version\"" "$unpacked/usr/share/man/man1/strandix.1" ||
    { echo "the packaged man page does not name version $version" >&2; exit 1; }
# The help is wrapped: its words are compared with the lines joined.
grep -q "GNU parallel" <<<"$("$unpacked/usr/bin/strandix-parallel" --help | tr '\n' ' ')"
grep -q "Slurm job array" <<<"$("$unpacked/usr/bin/strandix-slurm" --help | tr '\n' ' ')"
mkdir "$unpacked/tmp"
TMPDIR="$unpacked/tmp" "$unpacked/usr/bin/strandix" -q -o "$unpacked/page.html" \
    samples/genesis.txt moses aaron
grep -q "</html>" "$unpacked/page.html"
# The Python package, for Debian's python3, imported from the unpacked tree.
[ -f "$unpacked/usr/lib/python3/dist-packages/strandix/__init__.pyi" ] ||
    { echo "the package lacks the Python package's type stub" >&2; exit 1; }
PYTHONPATH="$unpacked/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
    "import strandix; assert len(strandix.Document.open('samples/genesis.txt')) == 151843"
rm -rf "$unpacked"
trap - EXIT

section "search fuzzer (about a minute)"
bash tools/fuzz.sh 60
section "partial-file fuzzer (half a minute)"
bash tools/fuzz.sh 30 partial
section "UTF-8 and alphabet fuzzer (half a minute)"
bash tools/fuzz.sh 30 text
section "proximity list fuzzer (half a minute)"
bash tools/fuzz.sh 30 pair_list

section "sanitizer build"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTRANDIX_WERROR=ON \
    -DSTRANDIX_SANITIZE=ON
cmake --build build/asan -j "$jobs"
section "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

section "thread sanitizer build (threaded code and its tests only)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDIX_WERROR=ON \
    -DSTRANDIX_TSAN=ON
cmake --build build/tsan -j "$jobs"
section "thread sanitizer tests"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build/tsan --output-on-failure -j "$jobs"

section "windows build"
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDIX_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
cmake --build build/windows -j "$jobs"
section "windows tests (Wine)"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
trap strandix_wine_stop EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build/windows --output-on-failure -j "$jobs"

section "all tests passed"
