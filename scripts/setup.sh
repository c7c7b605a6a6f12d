#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing (without their
# Recommends), then configures and builds everything into build/. Safe to run again: it only
# does what is left to do, and says nothing about packages when none is missing.
#
# apt's package lists are refreshed (apt-get update) before installing when they are empty or
# older than a day, and once more when an install from lists that looked fresh fails (a mirror
# may have replaced a version since).
#
#   scripts/setup.sh [--build-dir DIR] [--build-type TYPE] [--packages-only]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build"
build_type="RelWithDebInfo"
packages_only=0
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir="$2"; shift 2 ;;
        --build-type) build_type="$2"; shift 2 ;;
        --packages-only) packages_only=1; shift ;;
        *) echo "setup.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$here/scripts/packages.txt")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Fresh: some Release file of the lists was fetched within the last 24 hours.
lists_fresh() {
    local lists=/var/lib/apt/lists/
    eval "$(apt-config shell lists Dir::State::lists/d)"
    [ -n "$(find "$lists" -maxdepth 1 -name '*Release' -mmin -1440 -print -quit 2>/dev/null)" ]
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    install=("${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}")
    if ! lists_fresh; then
        echo "== apt's package lists are empty or older than a day: apt-get update"
        "${sudo_cmd[@]}" apt-get update -qq
        "${install[@]}"
    elif ! "${install[@]}"; then
        echo "== Installing failed; updating apt's package lists and trying again"
        "${sudo_cmd[@]}" apt-get update -qq
        "${install[@]}"
    fi
fi
[ "$packages_only" -eq 0 ] || exit 0

echo "== Configuring in $build_dir"
cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
echo "== Building"
cmake --build "$build_dir" -j"$(nproc)"
