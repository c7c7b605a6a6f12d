#!/usr/bin/env bash
# Builds the Debian package and checks it the way a user gets it: lintian and
# desktop-file-validate, then `apt-get install ./quxfamily_*.deb`, the installed quxctl against
# the installed quxsim, the installed orbexa offscreen with the plug-in and a settings file,
# and removal. The machine is left as it was: the packages the install pulled in go again.
#
# The installed programs run as an unprivileged user (nobody, when run as root), for whom the
# program folder, where the sensor windows keep QUXfamily.ini, is not writable.
#
#   scripts/package.sh [--build-dir DIR]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build"
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir="$2"; shift 2 ;;
        *) echo "package.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

sudo_cmd=()
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(runuser -u nobody --)
else
    sudo_cmd=(sudo)
fi

[ -f "$build_dir/CMakeCache.txt" ] ||
    cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
echo "== Building the package"
rm -f "$build_dir"/quxfamily_*.deb
cmake --build "$build_dir" -j2 --target package >/dev/null
debs=("$build_dir"/quxfamily_*.deb)
deb="${debs[0]}"
[ -f "$deb" ] || fail "no package in $build_dir"
echo "   $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

echo "== desktop-file-validate"
desktop-file-validate "$here/packaging/orbexa.desktop"
echo "== lintian"
# Errors fail; the warnings left are listed in the README with their reasons.
lintian --fail-on error --display-info "$deb" || fail "lintian found errors"

if dpkg-query -W -f='${Status}' quxfamily 2>/dev/null | grep -q "install ok installed"; then
    fail "quxfamily is already installed; this check installs and removes it"
fi

scratch="$(mktemp -d "${TMPDIR:-/tmp}/quxfamily-package.XXXXXX")"
chmod 755 "$scratch"
before="$scratch/packages-before"
dpkg-query -W -f='${Package}\n' | sort >"$before"
appdir=""
home=""
sim_pid=""
# quxsim runs below runuser, which does not pass a signal on: it is stopped by its own id, which
# it writes itself before it starts.
stop_sim() {
    local pid=""
    [ -z "$home" ] || pid="$(cat "$home/quxsim.pid" 2>/dev/null || true)"
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    [ -z "$sim_pid" ] || wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
}
cleanup() {
    local status=$?
    stop_sim
    # Everything the install brought, the package and what it pulled in.
    mapfile -t added < <(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$before" -)
    if [ ${#added[@]} -gt 0 ]; then
        echo "== Removing: ${added[*]}"
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq "${added[@]}" \
            >/dev/null || status=1
    fi
    if ! dpkg-query -W -f='${Package}\n' | sort | cmp -s "$before" -; then
        echo "package.sh: the installed packages differ from before" >&2
        status=1
    fi
    for left in "$appdir" /usr/share/quxfamily /usr/bin/orbexa /usr/bin/quxctl /usr/bin/quxsim; do
        if [ -n "$left" ] && { [ -e "$left" ] || [ -L "$left" ]; }; then
            echo "package.sh: $left is left after removal" >&2
            status=1
        fi
    done
    rm -rf "$scratch"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== apt-get install $deb"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "$(realpath "$deb")" >/dev/null
appdir="$(dirname "$(readlink -f /usr/bin/orbexa)")"
echo "   programs in $appdir"

# A home of the user's own; the program folder stays theirs to read only.
home="$scratch/home"
mkdir -m 700 "$home"
[ ${#as_user[@]} -eq 0 ] || chown nobody "$home"
run() {
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home" \
        LANG=C.UTF-8 "$@"
}
[ "$(command -v quxctl)" = /usr/bin/quxctl ] || fail "quxctl is not /usr/bin/quxctl"
run test ! -w "$appdir" || fail "$appdir is writable for the user running the programs"

echo "== Installed quxctl identify against the installed quxsim"
sensor="$(run quxsim --list | awk -F '\t' '$NF == "digital" { print $1; exit }')"
[ -n "$sensor" ] || fail "quxsim lists no digital sensor type from the installed catalogue"
port="$home/qux0"
run sh -c 'echo $$ >"$0"; exec quxsim --sensor "$1" --link "$2"' "$home/quxsim.pid" "$sensor" \
    "$port" >"$scratch/quxsim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 50); do
    grep -q "^quxsim: serving" "$scratch/quxsim.log" && break
    sleep 0.1
done
grep "^quxsim: serving" "$scratch/quxsim.log" || fail "quxsim did not start: $(cat "$scratch/quxsim.log")"
run quxctl identify --port "$port" | tee "$scratch/identify.txt"
grep -qF "$sensor" "$scratch/identify.txt" || fail "quxctl did not identify $sensor"
run quxctl save --port "$port" "$home/reference.ovs" 2>/dev/null

echo "== Installed orbexa offscreen, connected, with the plug-in (state file not writable)"
start=$SECONDS
run timeout 60 orbexa -platform offscreen --sensor "$sensor" --port "$port" --quit-after 6 \
    --screenshot "$home/orbexa.png" >"$scratch/orbexa.out" 2>"$scratch/orbexa.err" ||
    fail "orbexa failed: $(cat "$scratch/orbexa.err")"
echo "   ran $((SECONDS - start)) s for a 6 s run"
grep -q "Loaded plug-in QUXfamily" "$scratch/orbexa.err" ||
    fail "orbexa did not load the plug-in: $(cat "$scratch/orbexa.err")"
[ -s "$home/orbexa.png" ] || fail "orbexa saved no screenshot"
if grep -iE "QUXfamily\.ini|settings|permission|denied|read-only" "$scratch/orbexa.err"; then
    fail "orbexa reported the unwritable state file"
fi
[ ! -e "$appdir/QUXfamily.ini" ] || fail "a user wrote $appdir/QUXfamily.ini"
moved="$(find "$home" -name 'QUXfamily.ini*')"
[ -z "$moved" ] || fail "the window state went elsewhere: $moved"

echo "== Installed orbexa opens a settings file in its sensor's window"
run timeout 60 orbexa -platform offscreen "$home/reference.ovs" --quit-after 3 \
    >"$scratch/open.out" 2>"$scratch/open.err" || fail "orbexa FILE.ovs failed"
if grep -q "not opened" "$scratch/open.err"; then
    fail "orbexa did not open the settings file: $(cat "$scratch/open.err")"
fi

echo "== Manual pages, desktop entry, file type, completion"
for file in /usr/share/man/man1/{orbexa,quxctl,quxsim}.1.gz /usr/share/applications/orbexa.desktop \
    /usr/share/mime/packages/quxfamily.xml /usr/share/icons/hicolor/scalable/apps/orbexa.svg \
    /usr/share/icons/hicolor/48x48/apps/orbexa.png /usr/share/bash-completion/completions/quxctl; do
    [ -s "$file" ] || fail "$file is missing"
done
[ "$(man -w quxctl 2>/dev/null)" = /usr/share/man/man1/quxctl.1.gz ] || fail "man quxctl finds no page"
# The file type, where the machine keeps the databases that the package's triggers update.
if command -v update-mime-database >/dev/null; then
    grep -q ':application/x-quxfamily-settings:\*\.ovs$' /usr/share/mime/globs2 ||
        fail "*.ovs is not registered as a file type"
fi
if command -v update-desktop-database >/dev/null; then
    grep -q '^application/x-quxfamily-settings=.*orbexa\.desktop' \
        /usr/share/applications/mimeinfo.cache || fail "*.ovs files do not open in orbexa"
fi
if [ -f /usr/share/bash-completion/bash_completion ]; then
    completed="$(run bash -c 'source /usr/share/bash-completion/bash_completion
        source /usr/share/bash-completion/completions/quxctl
        COMP_WORDS=(quxctl di); COMP_CWORD=1; COMP_LINE="quxctl di"; COMP_POINT=9
        _quxctl quxctl di quxctl; echo "${COMPREPLY[*]}"
        COMP_WORDS=(quxctl identify --p); COMP_CWORD=2; COMP_LINE="quxctl identify --p"
        COMP_POINT=19; _quxctl quxctl --p identify; echo "${COMPREPLY[*]}"')"
    [ "$completed" = $'diff\n--port' ] || fail "quxctl completion gave: $completed"
    echo "   quxctl di<TAB> -> diff, --p<TAB> -> --port"
fi

# A run as root can write the state file into the program folder; it goes with the package.
"${sudo_cmd[@]}" touch "$appdir/QUXfamily.ini"
stop_sim
echo "== package.sh: all checks passed"
