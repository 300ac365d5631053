#!/usr/bin/env bash
# Builds the fuzz targets with clang (every library instrumented, ASan and UBSan on) into
# build-fuzz/ and runs each one for a fixed time from its seed corpus, a few at a time. Fails when
# any target finds a crash, a hang or a sanitizer report; what it found is kept in
# build-fuzz/fuzz-runs/<target>/.
# Usage: scripts/fuzz.sh [seconds per target, default 20] [targets running at once, default 4]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
jobs=${2:-4}
"$top/scripts/install-deps.sh"
dir="$top/build-fuzz"
cmake -S "$top" -B "$dir" -G Ninja -DQV_FUZZ=ON -DQV_BENCHMARKS=OFF \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j "${QV_BUILD_JOBS:-$(nproc)}" --target fuzzers

# Qt and fontconfig keep allocations until exit; a leak report of theirs is no finding of ours.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
runs="$dir/fuzz-runs"
rm -rf "$runs"
mkdir -p "$runs"

run_one() {
    local target=$1 seconds=$2 top=$3 runs=$4 dir=$5
    local work="$runs/$target"
    mkdir -p "$work/corpus"
    local seeds="$top/tests/data/fuzz/$target"
    [[ -d "$seeds" ]] || seeds=""
    # New inputs go to the work corpus, never into the committed seeds. Leaks are not looked for
    # (see ASAN_OPTIONS): libFuzzer's own leak check would only run every such input a second time.
    if (cd "$work" && "$dir/tests/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
            -detect_leaks=0 -print_final_stats=1 corpus $seeds > log.txt 2>&1); then
        printf '%-24s ok   %s\n' "$target" "$(grep -E '^#[0-9]+.*DONE' "$work/log.txt" | tail -1 | cut -c1-90)"
    else
        printf '%-24s FAIL (see %s)\n' "$target" "$work/log.txt"
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$work/log.txt" | head -5
        return 1
    fi
}
export -f run_one

targets=$(cd "$dir/tests" && ls -1 *_fuzz)
echo "$targets" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$top" "$runs" "$dir"
