#!/usr/bin/env bash
# The sanitizer stage: builds the whole project with clang 14, AddressSanitizer and
# UndefinedBehaviorSanitizer (no recovery: the first finding fails the test) in its own tree,
# build-asan/, and runs every CTest test there with LeakSanitizer on. The tree is kept, so a
# second run only rebuilds what changed; scripts/fuzz.sh uses the same tree.
#
#   scripts/sanitize.sh [--build-dir DIR] [-- CTEST ARGUMENTS...]
#
# Leaks that are not ours (allocations the Qt offscreen platform, fontconfig and the like keep
# until the process ends) are suppressed by scripts/lsan.supp, each line with its reason.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build-asan"
ctest_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir="$2"; shift 2 ;;
        --) shift; ctest_args=("$@"); break ;;
        *) echo "sanitize.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

source "$here/scripts/sanitizertree.sh"
qux_configure_sanitizer_tree "$here" "$build_dir"
echo "== Building with sanitizers"
cmake --build "$build_dir" -j"$(nproc)"

# Programs the tests start (quxsim, orbexa) inherit these.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

echo "== Running the tests under the sanitizers"
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" --timeout 900 "${ctest_args[@]}"
