# Sourced by the scripts that show the host against a simulated sensor (run.sh,
# chart-screenshot.sh): picks the sensor type, starts quxsim on a pseudo-terminal behind a link
# in a scratch folder, and stops it and removes the folder when the script exits.
#
#   source scripts/simulator.sh
#   sensor="$(first_digital_sensor "$bin")"
#   start_simulator "$bin" "$sensor" [quxsim options...]   # sets sim_link, sim_log, sim_pid

# The first digital sensor type of the catalogue, as the simulator lists it
# ("<name><TAB>group ..<TAB>types ..<TAB>digital|analog").
first_digital_sensor() {
    "$1/quxsim" --list | awk -F '\t' '$NF == "digital" { print $1; exit }'
}

sim_pid=""
sim_dir=""
stop_simulator() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    [ -n "$sim_dir" ] && rm -rf "$sim_dir"
    return 0
}

start_simulator() {
    local bin="$1" sensor="$2"
    shift 2
    sim_dir="$(mktemp -d "${TMPDIR:-/tmp}/quxsim-run.XXXXXX")"
    sim_link="$sim_dir/quxsim-port"
    sim_log="$sim_dir/quxsim.log"
    trap stop_simulator EXIT
    trap 'exit 130' INT TERM
    "$bin/quxsim" --sensor "$sensor" --link "$sim_link" "$@" >"$sim_log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 50); do
        grep -q "^quxsim: serving" "$sim_log" 2>/dev/null && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q "^quxsim: serving" "$sim_log" 2>/dev/null; then
        echo "the simulator did not start:" >&2
        cat "$sim_log" >&2
        return 1
    fi
    grep "^quxsim: serving" "$sim_log"
}
