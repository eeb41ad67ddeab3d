#!/usr/bin/env bash
# Installs what is missing, builds Brennix and runs every test; then builds it again with clang and its
# address and undefined-behaviour checks and runs every test in that build, and runs every fuzz target
# once over its seeds. Any failure, and any report of the checks, fails the run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/setup.sh"
jobs="$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

build="${BRENNIX_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --parallel "$jobs"
# A byte dump in a test's name is a table row without a name (and ctest -R cannot pick it).
if (cd "$build" && ctest -N) | grep -E '[0-9]+-byte object <'; then
    echo "test: give these rows names (INSTANTIATE_TEST_SUITE_P's name generator, PrintTo)" >&2
    exit 1
fi
(cd "$build" && ctest --output-on-failure --parallel "$jobs" --timeout 300)

# The checked build. Each process writes what the checks find to a file of its own in $reports, so a
# report counts even from a program whose output a test throws away; the folder is open to everyone,
# so a test that runs the program with fewer rights (as an ordinary user would be) still reports.
checked="${BRENNIX_CHECKED_BUILD_DIR:-$here/build-checked}"
reports="$checked/reports"
rm -rf "$reports"
mkdir -p "$reports"
chmod 1777 "$reports"
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
(
    export ASAN_OPTIONS="detect_leaks=1:log_path=$reports/asan"
    export LSAN_OPTIONS="suppressions=$here/scripts/leaks.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
    [ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer" UBSAN_SYMBOLIZER_PATH="$symbolizer"
    status=0
    cmake -S "$here" -B "$checked" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRENNIX_SANITIZE=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    cmake --build "$checked" --parallel "$jobs" || status=1
    if [ "$status" -eq 0 ]; then
        (cd "$checked" && ctest --output-on-failure --parallel "$jobs" --timeout 600) || status=1
    fi
    for report in "$reports"/*; do
        [ -e "$report" ] || continue
        echo "test: the checks reported, in $report:"
        cat "$report"
        status=1
    done
    exit "$status"
)

# The fuzz targets' own checks: every seed once through its reader.
(
    [ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer" UBSAN_SYMBOLIZER_PATH="$symbolizer"
    BRENNIX_FUZZ_BUILD="${BRENNIX_FUZZ_BUILD:-$here/build-fuzz}" bash "$here/fuzz/run.sh" -r
)
