#!/bin/bash
# "zeb500-cli run --connect" against the simulated receiver: the script finds the application
# connection as stream 65, subscribes to it, sends a command and prints the acknowledgement its
# handler picked out of the received sentences; its output is compared with the golden file.
# Usage: RunConnected.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea script.utl expected.out
CLI=$1
SIM=$2
CAPTURE=$3
SCRIPT=$4
GOLDEN=$5
source "$(dirname "$0")/ShellTestSupport.sh"

"$CLI" run "$SCRIPT" --connect "$WORK/not-an-address" > /dev/null 2> "$WORK/refused.log"
[ $? -eq 2 ] || fail "a file path was taken for a connection"
grep -q 'no connection address' "$WORK/refused.log" || fail "the refusal does not say why"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ "$CAPTURE"
timeout 40 "$CLI" run "$SCRIPT" --connect "/dev/client/127.0.0.1/$PORT" --timeout 30 \
    > "$WORK/out.txt" 2> "$WORK/run.log" || fail "run exited with $?"
cmp -s "$WORK/out.txt" "$GOLDEN" || fail "the output differs from $(basename "$GOLDEN")"
echo "PASS"
