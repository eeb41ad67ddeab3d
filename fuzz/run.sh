#!/usr/bin/env bash
# Runs the readers' fuzz targets, each for a given time, with address and undefined-behaviour checks.
# Run on demand; CI runs only the replay (-r).
#
#   fuzz/run.sh [-t SECONDS] [-j TARGETS_AT_ONCE] [-r] [TARGET...]
#
# Defaults: 60 seconds a target, 3 targets at once, every target. Builds into build-fuzz/ (or
# $BRENNIX_FUZZ_BUILD) with clang; the corpus grows in build-fuzz/corpus/<target>, inputs that broke a
# target land in build-fuzz/findings/<target>/, each target's log in build-fuzz/logs/. A finding is
# replayed with: build-fuzz/<target> <file>.
# -r: no fuzzing; every seed runs once through its target, and any fault fails the run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
seconds=60
parallel=3
replay=0
while getopts "t:j:rh" option; do
    case "$option" in
    t) seconds="$OPTARG" ;;
    j) parallel="$OPTARG" ;;
    r) replay=1 ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

# clang with its libFuzzer and sanitizer runtimes, and what the core links with.
needed=()
command -v clang++ >/dev/null 2>&1 || needed+=(clang)
compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null \
    || needed+=(libclang-rt-14-dev)
command -v python3 >/dev/null 2>&1 || needed+=(python3)
for p in cmake ninja-build libpng-dev libjpeg62-turbo-dev zlib1g-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || needed+=("$p")
done
if [ ${#needed[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "fuzz: installing ${needed[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${needed[@]}"
fi

build="${BRENNIX_FUZZ_BUILD:-$root/build-fuzz}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
if [ "$replay" -eq 1 ]; then
    cmake --build "$build" --parallel "$(nproc)"
else
    nice -n 19 cmake --build "$build" --parallel 4
fi

all=(fuzz_position_line fuzz_position_file fuzz_board_text fuzz_rtf fuzz_pgn fuzz_pgn_replay fuzz_dib)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

declare -A dictionary=(
    [fuzz_position_line]=positions [fuzz_position_file]=positions [fuzz_board_text]=board_text
    [fuzz_rtf]=rtf [fuzz_pgn]=pgn [fuzz_pgn_replay]=pgn [fuzz_dib]=dib)

rm -rf "$build/seeds"
python3 "$here/seeds.py" "$build/seeds"
mkdir -p "$build/logs"
touch "$build/logs/.start"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

if [ "$replay" -eq 1 ]; then
    status=0
    for t in "${targets[@]}"; do
        if [ ! -x "$build/$t" ]; then
            echo "fuzz: no target $t" >&2
            exit 2
        fi
        seeds=()
        [ -d "$build/seeds/$t" ] && mapfile -t seeds < <(find "$build/seeds/$t" -type f | sort)
        # Without inputs libFuzzer would start fuzzing.
        if [ ${#seeds[@]} -eq 0 ]; then
            echo "fuzz: $t has no seeds" >&2
            status=1
            continue
        fi
        log="$build/logs/$t.replay.log"
        if "$build/$t" -timeout=25 -rss_limit_mb=2048 "${seeds[@]}" >"$log" 2>&1; then
            echo "fuzz: $t ran its ${#seeds[@]} seeds"
        else
            echo "fuzz: $t failed on its seeds (log: $log):" >&2
            grep -v '^Running: \|^Executed ' "$log" | tail -n 60 >&2
            status=1
        fi
    done
    exit $status
fi

run() {
    local t="$1"
    mkdir -p "$build/corpus/$t" "$build/findings/$t"
    local seeds="$build/seeds/$t"
    mkdir -p "$seeds"
    # An input that takes more than 25 s, or more than 2 GB, is a finding too.
    nice -n 19 "$build/$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$t/" -dict="$here/dict/${dictionary[$t]}.dict" \
        "$build/corpus/$t" "$seeds" >"$build/logs/$t.log" 2>&1 || true
}

running=0
for t in "${targets[@]}"; do
    if [ ! -x "$build/$t" ]; then
        echo "fuzz: no target $t" >&2
        exit 2
    fi
    echo "fuzz: $t for ${seconds}s"
    run "$t" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

status=0
printf '\n%-20s %12s %8s  %s\n' target executions corpus findings
for t in "${targets[@]}"; do
    log="$build/logs/$t.log"
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
    [ -z "$runs" ] && runs="$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')"
    corpus="$(find "$build/corpus/$t" -type f | wc -l)"
    found="$(find "$build/findings/$t" -type f -newer "$build/logs/.start" | wc -l)"
    summary="none"
    if [ "$found" -gt 0 ]; then
        status=1
        summary="$found: $(grep -m1 -E 'ERROR: |runtime error|fuzz check failed|Deadly signal' "$log" || echo see "$log")"
    fi
    printf '%-20s %12s %8s  %s\n' "$t" "${runs:-?}" "$corpus" "$summary"
done
exit $status
