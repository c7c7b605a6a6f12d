#!/usr/bin/env bash
# The fuzz stage: builds the libFuzzer targets of fuzz/ in the sanitizer tree (build-asan/, the
# one scripts/sanitize.sh builds, so CI compiles the project with sanitizers only once) and runs
# every target for a bounded time, starting from its seed corpus fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [--seconds N | --long] [--build-dir DIR] [TARGET...]
#
# Default 60 s per target (CI), --long 600 s. Targets run side by side, one per core. Prints the
# executions of every target; inputs found on the way are kept in <build>/fuzz/corpus/<target>/,
# and a failing input lands in <build>/fuzz/artifacts/ and fails the stage.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build-asan"
seconds=60
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds="$2"; shift 2 ;;
        --long) seconds=600; shift ;;
        --build-dir) build_dir="$2"; shift 2 ;;
        -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done

source "$here/scripts/sanitizertree.sh"
qux_configure_sanitizer_tree "$here" "$build_dir"
echo "== Building the fuzz targets"
cmake --build "$build_dir" -j"$(nproc)" --target fuzzers

fuzz_dir="$build_dir/fuzz"
if [ ${#targets[@]} -eq 0 ]; then
    for seeds in "$here"/fuzz/corpus/*/; do
        targets+=("$(basename "$seeds")")
    done
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:verify_asan_link_order=0:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

run_target() {
    local target="$1"
    mkdir -p "$fuzz_dir/corpus/$target" "$fuzz_dir/artifacts" "$fuzz_dir/logs"
    # -timeout: one input taking a second is a hang (every target is linear in its input).
    local status=0
    "$fuzz_dir/$target" -max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$fuzz_dir/artifacts/$target-" \
        "$fuzz_dir/corpus/$target" "$here/fuzz/corpus/$target" \
        >"$fuzz_dir/logs/$target.log" 2>&1 || status=$?
    echo "$status" >"$fuzz_dir/logs/$target.status"
}

echo "== Fuzzing ${targets[*]} for $seconds s each"
running=0
for target in "${targets[@]}"; do
    if [ ! -x "$fuzz_dir/$target" ]; then
        echo "fuzz.sh: no fuzz target $target" >&2
        exit 2
    fi
    rm -f "$fuzz_dir/logs/$target.status"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$(nproc)" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait
failed=()
for target in "${targets[@]}"; do
    [ "$(cat "$fuzz_dir/logs/$target.status" 2>/dev/null)" = 0 ] || failed+=("$target")
done

printf '%-24s %14s %10s %8s\n' target executions "per s" corpus
for target in "${targets[@]}"; do
    log="$fuzz_dir/logs/$target.log"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    corpus="$(find "$fuzz_dir/corpus/$target" -type f | wc -l)"
    printf '%-24s %14s %10s %8s\n' "$target" "${runs:-?}" "$(( ${runs:-0} / seconds ))" "$corpus"
done
if [ ${#failed[@]} -gt 0 ]; then
    for target in "${failed[@]}"; do
        echo "== $target failed:"
        grep -v '^#' "$fuzz_dir/logs/$target.log" | tail -40
    done
    exit 1
fi
