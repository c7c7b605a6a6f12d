#!/usr/bin/env bash
# Checks that the Debian packages of scripts/packages.txt bring everything the build uses on a
# fresh Debian 12 machine, whatever else this machine has installed.
#
# What the build uses is read from a configure run (CMakeCache.txt):
#   - every CMake package that find_package found, asked for by our CMakeLists or by another
#     package's config file (its <Name>_DIR entry), by its config file;
#   - every pkg-config module of pkg_check_modules, and everything it requires in turn
#     (Requires and Requires.private, recursively), by its .pc file, and the libraries that
#     pkg-config resolved for the build;
#   - the compiler, cmake and the other build tools that CMake chose.
# Each of these files must belong (dpkg -S) to a package that installing the list pulls in
# through Depends alone: apt-get's own plan for installing the list with --no-install-recommends
# onto a system with nothing installed (a simulation against an empty dpkg status). A package
# that happens to be installed here therefore hides nothing.
#
# Needs no network, only apt's package lists (scripts/setup.sh fetches them) and the files of
# the list's packages (scripts/setup.sh --packages-only installs them). Takes a few seconds.
#
#   scripts/checkdeps.sh [--packages FILE] [--build-dir DIR]
#
# --build-dir reads that build's CMakeCache.txt; without it, the project is configured into a
# temporary folder, which is removed afterwards.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
list="$here/scripts/packages.txt"
build_dir=""
while [ $# -gt 0 ]; do
    case "$1" in
        --packages) list="$2"; shift 2 ;;
        --build-dir) build_dir="$2"; shift 2 ;;
        *) echo "checkdeps.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

tmp="$(mktemp -d "${TMPDIR:-/tmp}/checkdeps.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$list")
if [ ${#packages[@]} -eq 0 ]; then
    echo "checkdeps: $list names no package" >&2
    exit 1
fi

# --- What installing the list brings: apt's plan on an empty system -------------------------
# The empty status makes apt plan every Depends and Pre-Depends, choosing among alternatives as
# it would on a fresh machine. Its binary caches are kept in memory so that the simulation
# writes nothing outside $tmp.
mkdir -p "$tmp/dpkg"
: >"$tmp/dpkg/status"
if ! apt-get --simulate --no-install-recommends --no-install-suggests \
        -o Dir::State::status="$tmp/dpkg/status" -o Dir::Cache::pkgcache= \
        -o Dir::Cache::srcpkgcache= -o Debug::NoLocking=1 \
        install "${packages[@]}" >"$tmp/plan.txt" 2>&1; then
    echo "checkdeps: apt cannot plan installing the packages of $list:" >&2
    grep -E '^(E|W):|^ ' "$tmp/plan.txt" | sed 's/^/    /' >&2 || true
    echo "    (are apt's package lists there? scripts/setup.sh --packages-only updates them)" >&2
    exit 1
fi
declare -A planned=()
while read -r word name _; do
    if [ "$word" = "Inst" ]; then planned["${name%%:*}"]=1; fi
done <"$tmp/plan.txt"

# --- What the build uses: a configure run's cache ------------------------------------------
configure_failed=""
if [ -n "$build_dir" ] && [ -f "$build_dir/CMakeCache.txt" ]; then
    cache="$build_dir/CMakeCache.txt"
else
    if ! cmake -S "$here" -B "$tmp/build" >"$tmp/configure.log" 2>&1; then
        configure_failed=1
    fi
    cache="$tmp/build/CMakeCache.txt"
    [ -f "$cache" ] || : >"$cache"
fi

# needed[file] = what the build uses it for (one file may serve several; the first reason wins)
declare -A needed=()
order=()
need() {
    if [ -z "${needed[$1]+x}" ]; then
        needed["$1"]="$2"
        order+=("$1")
    fi
}
problems=()
problem() { problems+=("$*"); }

config_packages=0
pc_requested=()
while IFS= read -r line; do
    case "$line" in
        *_DIR:PATH=*)
            name="${line%%_DIR:PATH=*}"
            dir="${line#*_DIR:PATH=}"
            for file in "$dir/${name}Config.cmake" "$dir/${name,,}-config.cmake"; do
                if [ -f "$file" ]; then
                    need "$file" "CMake package $name"
                    config_packages=$((config_packages + 1))
                    break
                fi
            done
            ;;
        __pkg_config_arguments_*:INTERNAL=*)
            IFS=';' read -ra arguments <<<"${line#*:INTERNAL=}"
            for argument in "${arguments[@]}"; do
                case "$argument" in
                    REQUIRED | QUIET | IMPORTED_TARGET | GLOBAL | NO_CMAKE_PATH | \
                        NO_CMAKE_ENVIRONMENT_PATH | "") ;;
                    *)
                        module="${argument%%[<>=!]*}"
                        pc_requested+=("${module// /}")
                        ;;
                esac
            done
            ;;
        pkgcfg_lib_*:FILEPATH=/*)
            file="${line#*:FILEPATH=}"
            if [ -e "$file" ]; then need "$file" "library $(basename "$file") from pkg-config"; fi
            ;;
        CMAKE_*:FILEPATH=/* | PKG_CONFIG_EXECUTABLE:FILEPATH=/* | CMAKE_COMMAND:INTERNAL=/* | \
            CMAKE_CTEST_COMMAND:INTERNAL=/*)
            file="${line#*=}"
            if [ -f "$file" ]; then need "$file" "build tool ${line%%:*}"; fi
            ;;
    esac
done <"$cache"

# A cache without what our CMakeLists ask for means it was not read right: say so rather than
# pass on nothing.
asks_for() {
    grep -rqs --include=CMakeLists.txt --include='*.cmake' --exclude-dir='build*' \
        --exclude-dir=.git "$1" "$here"
}
if [ -z "$configure_failed" ]; then
    if [ ${#pc_requested[@]} -eq 0 ] && asks_for pkg_check_modules; then
        problem "no pkg-config module of pkg_check_modules found in $cache"
    fi
    if [ "$config_packages" -eq 0 ] && asks_for find_package; then
        problem "no CMake package of find_package found in $cache"
    fi
fi

# --- pkg-config modules and what they require, recursively ---------------------------------
pc_dirs="${PKG_CONFIG_LIBDIR:-$(pkg-config --variable pc_path pkg-config 2>/dev/null || true)}"
[ -z "${PKG_CONFIG_PATH:-}" ] || pc_dirs="$PKG_CONFIG_PATH:$pc_dirs"
IFS=':' read -ra pc_search <<<"$pc_dirs"
pc_file() {
    local dir
    for dir in "${pc_search[@]}"; do
        [ -n "$dir" ] && [ -f "$dir/$1.pc" ] && { echo "$dir/$1.pc"; return 0; }
    done
    return 0
}
# The modules a module requires, without version constraints. pkg-config refuses when one of
# them is missing; then the .pc file's own lines tell which ones it wants.
requires_of() {
    local out
    if out=$(pkg-config --print-requires --print-requires-private "$1" 2>/dev/null); then
        awk 'NF { print $1 }' <<<"$out"
    else
        sed -n 's/^Requires\(\.private\)\?[[:space:]]*:\(.*\)$/\2/p' "$2" | tr ',' ' ' |
            awk '{ for (i = 1; i <= NF; ++i) {
                       if ($i ~ /^[<>=!]/) { ++i; continue }
                       print $i } }'
    fi
}
declare -A via=()
queue=()
for module in "${pc_requested[@]}"; do
    [ -n "${via[$module]+x}" ] || { via["$module"]="$module"; queue+=("$module"); }
done
pc_modules=0
while [ ${#queue[@]} -gt 0 ]; do
    module="${queue[0]}"
    queue=("${queue[@]:1}")
    pc_modules=$((pc_modules + 1))
    pc="$(pc_file "$module")"
    if [ -z "$pc" ]; then
        problem "pkg-config module ${via[$module]}: $module.pc is not installed here;" \
            "the package that ships it is missing from the list"
        continue
    fi
    need "$pc" "pkg-config module ${via[$module]}"
    while read -r child; do
        [ -n "$child" ] || continue
        if [ -z "${via[$child]+x}" ]; then
            via["$child"]="${via[$module]} -> $child"
            queue+=("$child")
        fi
    done < <(requires_of "$module" "$pc")
done

# --- Owners: one dpkg -S for every file, under each name it may be recorded by ------------
# A file is known under its own path or the other half of the merged /usr (/lib versus
# /usr/lib); only a file that no package owns (the compiler's alternatives link) counts as
# the file its links lead to. A development library's link must not pass for the runtime
# library it points to.
aliases() {
    case "$1" in
        /usr/lib/* | /usr/bin/* | /usr/sbin/*) echo "$1 ${1#/usr}" ;;
        /lib/* | /bin/* | /sbin/*) echo "$1 /usr$1" ;;
        *) echo "$1" ;;
    esac
}
declare -A own_names=() real_names=()
all_names=()
for file in "${order[@]}"; do
    own_names["$file"]="$(aliases "$file")"
    real="$(readlink -f "$file")"
    real_names["$file"]=""
    [ "$real" = "$file" ] || real_names["$file"]="$(aliases "$real")"
    all_names+=(${own_names[$file]} ${real_names[$file]})
done
declare -A owners_of=()
if [ ${#all_names[@]} -gt 0 ]; then
    while IFS= read -r line; do
        case "$line" in diversion*) continue ;; esac
        owners_of["${line#*: }"]="${line%%: *}"
    done < <(dpkg-query -S "${all_names[@]}" 2>/dev/null || true)
fi
owners_among() {
    local name owner found
    for name in "$@"; do
        [ -n "${owners_of[$name]+x}" ] || continue
        IFS=',' read -ra found <<<"${owners_of[$name]}"
        for owner in "${found[@]}"; do
            owner="${owner// /}"
            echo "${owner%%:*}"
        done
    done
}

declare -A missing=()
for file in "${order[@]}"; do
    mapfile -t owners < <(owners_among ${own_names[$file]})
    [ ${#owners[@]} -gt 0 ] || mapfile -t owners < <(owners_among ${real_names[$file]})
    if [ ${#owners[@]} -eq 0 ]; then
        problem "${needed[$file]}: $file belongs to no Debian package, so a fresh machine" \
            "lacks it"
        continue
    fi
    ok=""
    for owner in "${owners[@]}"; do
        if [ -n "${planned[$owner]+x}" ]; then ok=1; fi
    done
    if [ -z "$ok" ]; then
        problem "${needed[$file]}: $file comes from ${owners[*]}, which the list does not" \
            "pull in through Depends"
        for owner in "${owners[@]}"; do missing["$owner"]=1; done
    fi
done

# --- Verdict ---------------------------------------------------------------------------------
if [ -n "$configure_failed" ]; then
    echo "checkdeps: configuring the project failed (a missing package shows as \"not found\"):" >&2
    grep -A6 'CMake Error\|not found' "$tmp/configure.log" | head -30 | sed 's/^/    /' >&2
fi
if [ ${#problems[@]} -gt 0 ]; then
    echo "checkdeps: $list does not bring everything the build uses:" >&2
    printf '    %s\n' "${problems[@]}" >&2
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "checkdeps: add to $list: $(printf '%s\n' "${!missing[@]}" | sort | paste -sd ' ')" >&2
fi
if [ -n "$configure_failed" ] || [ ${#problems[@]} -gt 0 ]; then
    not_installed=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            not_installed+=("$p")
    done
    [ ${#not_installed[@]} -eq 0 ] ||
        echo "checkdeps: not installed here (scripts/setup.sh --packages-only): ${not_installed[*]}" >&2
    exit 1
fi
echo "checkdeps: the ${#packages[@]} packages of $(basename "$list") pull in ${#planned[@]} packages;" \
    "they bring all ${#order[@]} files the build uses ($pc_modules pkg-config modules," \
    "$config_packages CMake packages, libraries and build tools)"
