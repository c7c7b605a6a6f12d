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

source "$here/scripts/simulator.sh"
sensor="$(first_digital_sensor "$bin")"
if [ -z "$sensor" ]; then
    echo "run.sh: the catalogue $bin/QUXfamily.xml lists no digital sensor type" >&2
    exit 1
fi
start_simulator "$bin" "$sensor"

args=(--port "$sim_link" --sensor "$sensor")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$build_dir/screenshots/orbexa.png"
    mkdir -p "$(dirname "$shot")"
    echo "No display: running orbexa offscreen for 10 seconds."
    QT_QPA_PLATFORM=offscreen "$bin/orbexa" "${args[@]}" --screenshot "$shot" --quit-after 10
    echo "Screenshot of the main window: $shot"
else
    "$bin/orbexa" "${args[@]}"
fi
