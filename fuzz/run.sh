#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, ASan, UBSan) and runs them one after another.
#   fuzz/run.sh [SECONDS_OR_RUNS] [TARGET...]
# SECONDS_OR_RUNS: a plain number is the runs per target (default 2000); with s, m or h after it,
# the time per target ("90s", "30m", "4h"). Targets are named as in fuzz/CMakeLists.txt; none
# means all. Extra libFuzzer flags come from FUZZ_FLAGS (FUZZ_FLAGS=-jobs=2, say).
# Inputs that find something land in build-fuzz/findings/; new inputs the runs discover grow
# build-fuzz/corpus/, and fuzz/corpus/ keeps only the seeds. Exit status 1 on any finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
budget=${1:-2000}
shift $(($# > 0 ? 1 : 0))

case "$budget" in
    *s) limit=(-max_total_time="${budget%s}") ;;
    *m) limit=(-max_total_time=$((${budget%m} * 60))) ;;
    *h) limit=(-max_total_time=$((${budget%h} * 3600))) ;;
    *[!0-9]* | "")
        echo "usage: fuzz/run.sh [RUNS | SECONDS(s|m|h)] [TARGET...]" >&2
        exit 2
        ;;
    *) limit=(-runs="$budget") ;;
esac

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVOLCRESTONE_FUZZ=ON -DVOLCRESTONE_GUI=OFF \
    -DVOLCRESTONE_BENCH=OFF >/dev/null
cmake --build "$build" --target volcrestone_fuzzers

targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets <"$build/fuzz/fuzzers.txt"

# Speed over detail while searching (no malloc fill, short allocation stacks, a small quarantine);
# a finding is reproduced with the defaults by running its target on the saved input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=4:max_malloc_fill_size=0:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
mkdir -p "$build/findings" "$build/logs"
failed=()
for name in "${targets[@]}"; do
    mkdir -p "$build/corpus/$name"
    log="$build/logs/$name.log"
    # Inputs long enough to reach every state, and no longer, since each step of a script costs
    # its run time: the engine's scripts hold hundreds of steps in 1 KiB, and every firmware line
    # costs the feeder a tick (a little over the longest record line, 514 characters).
    sized=()
    case "$name" in
        engine) sized=(-max_len=1024) ;;
        s19_feeder) sized=(-max_len=600) ;;
    esac
    # The first folder takes what the run discovers; the seeds are only read.
    # shellcheck disable=SC2086
    if "$build/fuzz/fuzz_$name" "${limit[@]}" "${sized[@]}" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$name-" ${FUZZ_FLAGS:-} \
        "$build/corpus/$name" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        seconds=$(sed -n 's/^Done .* in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
        echo "fuzz $name: ${runs:-?} runs in ${seconds:-?} s, no findings"
    else
        echo "fuzz $name: FINDING, see $log and $build/findings/" >&2
        grep -E "ERROR|runtime error|broken:|SUMMARY" "$log" | head -5 >&2 || true
        failed+=("$name")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "findings in: ${failed[*]}" >&2; exit 1; }
