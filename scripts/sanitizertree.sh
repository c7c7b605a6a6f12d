# Sourced by sanitize.sh and fuzz.sh: configures the one tree both stages use (sanitizers and
# libFuzzer coverage, cmake/QuxSanitizers.cmake) with clang 14.
#
#   qux_configure_sanitizer_tree SOURCE_DIR BUILD_DIR

qux_configure_sanitizer_tree() {
    local source_dir="$1" build_dir="$2" cxx cc
    cxx="$(command -v clang++-14 || command -v clang++ || true)"
    cc="$(command -v clang-14 || command -v clang || true)"
    if [ -z "$cxx" ] || [ -z "$cc" ]; then
        echo "clang 14 is missing; scripts/setup.sh installs it" >&2
        return 2
    fi
    echo "== Configuring the sanitizer tree in $build_dir"
    # -O1: the usual trade between build time, run time and readable sanitizer reports.
    # clang links through the system's ld; left alone, CMake records an LLVM linker that happens
    # to be installed (ld.lld-14) as CMAKE_LINKER, which the build never runs but the dependency
    # check (tst_checkdeps, also run in this tree) would then ask the package list for.
    cmake -S "$source_dir" -B "$build_dir" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_LINKER="$(command -v ld)" \
        -DQUX_SANITIZE=ON -DQUX_FUZZ=ON >/dev/null
}

# Readable stack traces in sanitizer reports.
symbolizer="$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)"
if [ -n "$symbolizer" ]; then
    export ASAN_SYMBOLIZER_PATH="$symbolizer"
fi
