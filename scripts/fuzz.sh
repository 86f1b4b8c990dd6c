#!/usr/bin/env bash
# Fuzzes every parser for a bounded time: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Builds the clang libFuzzer tree (BUILD_ROOT/fuzz), runs two targets at a time, each on a
# scratch copy of its corpus (the repository is never written), and prints one line per
# target: seconds, executions, crashes. Exits non-zero when any target found a crash; the
# crashing input is kept and its path printed.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${FUZZ_BUILD_DIR:-${BUILD_ROOT:-$here/build}/fuzz}
all_targets=(word_splitter inf_reader macro_expansion ini_quick_write registry_reader
             zip_extract lz_expand pe_version command_line)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
jobs=${FUZZ_JOBS:-2}

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DDADAZADO_FUZZ=ON >/dev/null
cmake --build "$build" --target $(printf '%s_fuzz ' "${targets[@]}")

work=$(mktemp -d "${TMPDIR:-/tmp}/dadazado-fuzz-run-XXXXXX")
echo "fuzzing ${#targets[@]} targets for ${seconds}s each in $work"

run_target() {
    local target=$1 dir=$work/$1
    mkdir -p "$dir/corpus" "$dir/crashes"
    cp -r "$here/tests/fuzz/corpus/$target/." "$dir/corpus/"
    cp -r "$here/tests/fuzz/regressions/$target/." "$dir/corpus/" 2>/dev/null || true
    local start=$SECONDS
    ( cd "$dir" && "$build/tests/fuzz/${target}_fuzz" "$dir/corpus" \
        -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -max_len=8192 \
        -timeout=10 -artifact_prefix="$dir/crashes/" >"$dir/log" 2>&1 ) || true
    echo $((SECONDS - start)) >"$dir/seconds"
}

running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

status=0
printf '%-18s %8s %12s %8s\n' target seconds executions crashes
for target in "${targets[@]}"; do
    dir=$work/$target
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
    crashes=$(find "$dir/crashes" -type f | wc -l)
    printf '%-18s %8s %12s %8s\n' "$target" "$(cat "$dir/seconds")" "${execs:-?}" "$crashes"
    if [ "$crashes" -gt 0 ] || [ -z "$execs" ]; then
        status=1
        find "$dir/crashes" -type f -printf '  crashing input: %p\n'
        echo "  log: $dir/log"
    fi
done
exit $status
