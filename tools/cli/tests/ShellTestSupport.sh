# Sourced by the command-line tool's shell tests: a scratch folder removed on exit, with
# the settings, data and workbench folders inside it; failure reports; bounded waits; and a
# server started on a free port.
set -u
WORK=$(mktemp -d)
export XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" ZEB500_HOME="$WORK/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$ZEB500_HOME"
SERVER=
PEER=
cleanup() {
    [ -n "$SERVER" ] && kill -TERM "$SERVER" 2> /dev/null
    [ -n "$PEER" ] && kill -TERM "$PEER" 2> /dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# Reports the failure with the end of every log and output of the test, and ends the test.
fail() {
    echo "FAIL: $*"
    for f in "$WORK"/*.log "$WORK"/*.txt; do [ -f "$f" ] && { echo "--- $f"; tail -20 "$f" | cat -A; }; done
    exit 1
}

# wait_until WHAT COMMAND...: until COMMAND succeeds; fails naming WHAT after 20 s.
wait_until() {
    local what=$1 deadline=$((SECONDS + 20))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "gave up waiting for $what"
        sleep 0.05
    done
}

# wait_for FILE PATTERN [SECONDS]: until PATTERN (grep) is in FILE; fails naming both after SECONDS (10).
wait_for() {
    local deadline=$((SECONDS + ${3:-10}))
    until grep -q -- "$2" "$1" 2> /dev/null; do
        [ $SECONDS -lt $deadline ] || fail "gave up waiting for '$2' in $(basename "$1")"
        sleep 0.05
    done
}

# start_server LOG READY COMMAND...: runs COMMAND, in whose words @PORT@ stands for the port, in the
# background with its output in LOG until LOG shows READY; draws another port when the one drawn is
# taken. Sets SERVER (its process) and PORT.
start_server() {
    local log=$1 ready=$2
    shift 2
    for _ in 1 2 3 4 5; do
        PORT=$(((RANDOM % 20000) + 30000))
        "${@//@PORT@/$PORT}" > "$log" 2>&1 &
        SERVER=$!
        local deadline=$((SECONDS + 10))
        while [ $SECONDS -lt $deadline ] && kill -0 "$SERVER" 2> /dev/null; do
            grep -q -- "$ready" "$log" && return 0
            sleep 0.05
        done
        grep -q -- "$ready" "$log" && return 0
        kill -TERM "$SERVER" 2> /dev/null
        wait "$SERVER" 2> /dev/null
        SERVER=
    done
    fail "no server came up: $*"
}

# recorder_settings FILE KEY,VALUE...: writes a recorder settings file of those lines.
recorder_settings() {
    local file=$1
    shift
    printf '$PKVR,RPC,IHDM,%s\r\n' "$@" > "$file"
}

# start_simulator ARGS...: the simulator $SIM playing $CAPTURE with generated binary, text and UHF frames
# mixed in, as start_server does (its log is sim.log).
start_simulator() {
    start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --frames 3 "$@" "$CAPTURE"
}
