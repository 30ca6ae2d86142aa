#!/bin/bash
# A simulator that hangs up every second: the recorder shows "NO DATA" while the port is down, connects again by
# itself and records on into the same file, which reads back whole.
# Usage: RecordReconnects.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --frames 3 --pace 100 --drop-after 1 "$CAPTURE"
P='$PKVR,RPC,IHDM,'
printf '%s\r\n' "${P}DIRECTORY,$WORK/rec" "${P}BASENAME,run" "${P}FORMAT,1" "${P}GRANULARITYUNIT,1" \
    "${P}PORT,sim,/dev/client/127.0.0.1/$PORT,9" "${P}TRACK,A" "${P}FILTER,sim,12,1,A,1" > "$WORK/run.udm"
mkdir -p "$WORK/rec"
"$CLI" record --settings "$WORK/run.udm" --for 60 > "$WORK/status.txt" 2> "$WORK/record.log" &
RECORDER=$!
recorded_again() {
    awk '/^RECORDING/ { if (down) exit 0; up = 1 } /^NO DATA/ && up { down = 1 } END { exit !(up && down) }' \
        "$WORK/status.txt" && [ "$(grep -c '^RECORDING' "$WORK/status.txt")" -ge 2 ] &&
        awk '/^NO DATA/ { down = NR } /^RECORDING/ && down { again = 1 } END { exit !again }' "$WORK/status.txt"
}
wait_until "RECORDING, NO DATA and RECORDING again" recorded_again
kill -INT $RECORDER
wait $RECORDER || fail "record exited with $?"
[ "$(ls "$WORK/rec")" = "run-1.dat" ] || fail "a reconnection began another file: $(ls "$WORK/rec")"
"$CLI" records "$WORK/rec/run-1.dat" > "$WORK/records.txt" || fail "the file does not read back"
echo PASS
