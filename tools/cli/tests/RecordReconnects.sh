#!/bin/bash
# A simulator that hangs up every second: the recorder connects again by itself and records on into the same file,
# which reads back whole. One that stalls: the status shows "NO DATA" while it is silent, then records again.
# Usage: RecordReconnects.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

# record_from NAME SIMULATOR-OPTIONS...: records the simulator into $WORK/NAME until SIGINT (see stop_recording).
record_from() {
    local name=$1
    shift
    start_server "$WORK/sim-$name.log" 'listening' "$SIM" --port @PORT@ --frames 3 --pace 100 "$@" "$CAPTURE"
    local P='$PKVR,RPC,IHDM,'
    printf '%s\r\n' "${P}DIRECTORY,$WORK/$name" "${P}BASENAME,run" "${P}FORMAT,1" "${P}GRANULARITYUNIT,1" \
        "${P}PORT,sim,/dev/client/127.0.0.1/$PORT,9" "${P}TRACK,A" "${P}FILTER,sim,12,1,A,1" > "$WORK/$name.udm"
    mkdir -p "$WORK/$name"
    "$CLI" record --settings "$WORK/$name.udm" --for 60 > "$WORK/$name.txt" 2> "$WORK/$name.log" &
    RECORDER=$!
}
stop_recording() {
    kill -INT $RECORDER
    wait $RECORDER || fail "record exited with $?"
    kill -TERM "$SERVER"
    wait "$SERVER" 2> /dev/null
    SERVER=
    [ "$(ls "$WORK/$1")" = "run-1.dat" ] || fail "more than one file: $(ls "$WORK/$1")"
    "$CLI" records "$WORK/$1/run-1.dat" > /dev/null || fail "$1/run-1.dat does not read back"
}

# One connection brings about 130 messages before the hang-up: more come only through new connections.
record_from drops --drop-after 1
many_received() { awk '$4 > 500 { found = 1 } END { exit !found }' "$WORK/drops.txt"; }
wait_until "500 messages over several connections" many_received
stop_recording drops

record_from stalls --stall 3 --stall-every 1
recorded_again() {
    awk '/^RECORDING/ { if (down) again = 1; up = 1 } /^NO DATA/ && up { down = 1 } END { exit !again }' \
        "$WORK/stalls.txt"
}
wait_until "RECORDING, NO DATA, RECORDING" recorded_again
stop_recording stalls
echo PASS
