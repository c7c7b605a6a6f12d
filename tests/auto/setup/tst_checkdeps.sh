#!/usr/bin/env bash
# scripts/checkdeps.sh passes on scripts/packages.txt and fails, naming the package, on the list
# as it was before libqt5opengl5-dev joined it: libqwt-qt5-dev does not depend on that package,
# although the Qwt pkg-config file requires Qt5OpenGL. The package is installed on this machine
# either way, so the second case also shows that installed extras hide nothing.
#
#   tst_checkdeps.sh SOURCE_DIR BUILD_DIR
set -u
source_dir="$1"
build_dir="$2"
check="$source_dir/scripts/checkdeps.sh"
list="$source_dir/scripts/packages.txt"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

output=$(bash "$check" --packages "$list" --build-dir "$build_dir" 2>&1)
status=$?
echo "$output"
[ "$status" -eq 0 ] || fail "the current list should pass, exit status $status"

old_list="$(mktemp)"
trap 'rm -f "$old_list"' EXIT
grep -vx 'libqt5opengl5-dev' "$list" >"$old_list"
output=$(bash "$check" --packages "$old_list" --build-dir "$build_dir" 2>&1)
status=$?
echo "$output"
[ "$status" -ne 0 ] || fail "the list without libqt5opengl5-dev should fail"
grep -q "Qt5OpenGL.pc comes from libqt5opengl5-dev" <<<"$output" ||
    fail "the failure should name Qt5OpenGL.pc and its package"
grep -q "^checkdeps: add to .*: libqt5opengl5-dev *$" <<<"$output" ||
    fail "the failure should name libqt5opengl5-dev, and only it, as the package to add"

exit $((failures > 0))
