#!/usr/bin/env bash
# Builds everything, starts a simulated sensor on a pseudo-terminal and opens its sensor type in
# the host, handing the plug-in the simulator's port: the sensor window connects to it on its
# own (identification, firmware and baud rate in its title, "Connected" in its status bar).
# Without a display the host runs offscreen, saves a screenshot and quits after 10 seconds.
#
#   scripts/run.sh [--build-dir DIR]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build"
if [ "${1:-}" = "--build-dir" ] && [ -n "${2:-}" ]; then
    build_dir="$2"
    "$here/scripts/setup.sh" --build-dir "$build_dir"
else
    "$here/scripts/setup.sh"
fi
bin="$build_dir/bin"

# The first digital sensor type of the catalogue, as the simulator lists it
# ("<name><TAB>group ..<TAB>types ..<TAB>digital|analog").
sensor="$("$bin/quxsim" --list | awk -F '\t' '$NF == "digital" { print $1; exit }')"
if [ -z "$sensor" ]; then
    echo "run.sh: the catalogue $bin/QUXfamily.xml lists no digital sensor type" >&2
    exit 1
fi

work_dir="$(mktemp -d "${TMPDIR:-/tmp}/orbexa-run.XXXXXX")"
link="$work_dir/quxsim-port"
sim_log="$work_dir/quxsim.log"
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

"$bin/quxsim" --sensor "$sensor" --link "$link" >"$sim_log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 50); do
    grep -q "^quxsim: serving" "$sim_log" 2>/dev/null && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q "^quxsim: serving" "$sim_log" 2>/dev/null; then
    echo "run.sh: the simulator did not start:" >&2
    cat "$sim_log" >&2
    exit 1
fi
grep "^quxsim: serving" "$sim_log"

args=(--port "$link" --sensor "$sensor")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$build_dir/screenshots/orbexa.png"
    mkdir -p "$(dirname "$shot")"
    echo "No display: running orbexa offscreen for 10 seconds."
    QT_QPA_PLATFORM=offscreen "$bin/orbexa" "${args[@]}" --screenshot "$shot" --quit-after 10
    echo "Screenshot of the main window: $shot"
else
    "$bin/orbexa" "${args[@]}"
fi
