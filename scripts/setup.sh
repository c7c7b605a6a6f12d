#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then configures and
# builds everything into build/. Safe to run again: it only does what is left to do.
#
#   scripts/setup.sh [--build-dir DIR] [--build-type TYPE]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build"
build_type="RelWithDebInfo"
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir="$2"; shift 2 ;;
        --build-type) build_type="$2"; shift 2 ;;
        *) echo "setup.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

packages=(
    build-essential g++ cmake make pkgconf
    qtbase5-dev libqt5serialport5-dev libqt5svg5-dev qttools5-dev qttools5-dev-tools
    libqwt-qt5-dev libqt5opengl5-dev libtinyxml2-dev libboost-dev libbenchmark-dev
    xvfb xauth qttranslations5-l10n
    # The sanitizer and fuzz stages (scripts/sanitize.sh, scripts/fuzz.sh): clang 14, its
    # sanitizer and libFuzzer runtimes, and llvm-symbolizer for readable reports.
    clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

echo "== Configuring in $build_dir"
cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
echo "== Building"
cmake --build "$build_dir" -j"$(nproc)"
