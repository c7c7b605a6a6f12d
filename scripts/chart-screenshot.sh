#!/usr/bin/env bash
# Takes the picture of the live chart for the README: the host, offscreen, with the sensor
# window of the first digital sensor type connected to a simulated sensor whose object heats
# from 80 to 260 °C (so the curve crosses both switching points and the LEDs change), grabbed
# after a minute of live data.
#
#   scripts/chart-screenshot.sh [--build-dir DIR] [--seconds N] [--output FILE]
#
# Defaults: build/, 60 seconds, docs/screenshots/chart.png. Build first (scripts/setup.sh).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$here/build"
seconds=60
output="$here/docs/screenshots/chart.png"
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build_dir="$2"; shift 2 ;;
        --seconds) seconds="$2"; shift 2 ;;
        --output) output="$2"; shift 2 ;;
        *) echo "chart-screenshot.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
bin="$build_dir/bin"
for program in orbexa quxsim; do
    if [ ! -x "$bin/$program" ]; then
        echo "chart-screenshot.sh: $bin/$program is missing; build first (scripts/setup.sh)" >&2
        exit 1
    fi
done

source "$here/scripts/simulator.sh"
sensor="$(first_digital_sensor "$bin")"
# 3 °C per second: 80 to 260 °C within the minute, with a little measuring noise.
start_simulator "$bin" "$sensor" --temperature 80 --target 260 --ramp 3 --noise 0.4

echo "Polling $sensor for $seconds seconds (offscreen) ..."
QT_QPA_PLATFORM=offscreen "$bin/orbexa" --port "$sim_link" --sensor "$sensor" \
    --screenshot "$output" --quit-after "$seconds"
