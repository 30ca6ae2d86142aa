#!/bin/bash
# "zeb500-cli heading --calibrate 1" against the simulator: the compass's texts follow the receiver's heading, the
# panel reads the settings, starts the calibration, polls it until the quality values fall below the thresholds
# (convergence flags all 1) and stops it at the end.
# Usage: HeadingFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --heading "$CAPTURE"
"$CLI" heading "/dev/client/127.0.0.1/$PORT" --calibrate 1 --seconds 11 > "$WORK/heading.txt" 2> "$WORK/heading.log" ||
    fail "heading exited with $?"

grep -q '"valid":true' "$WORK/heading.txt" || fail "no valid heading shown"
grep -q '"sv":"SV ' "$WORK/heading.txt" || fail "no satellite count shown"
[ "$(grep -m1 '"sent"' "$WORK/heading.txt")" = '{"sent":"$PKVR,HDGSET\r\n"}' ] ||
    fail "the panel did not query the settings first"
grep -q '{"field":1041,"text":"1.00"}' "$WORK/heading.txt" || fail "the settings were not shown"
grep -q '{"sent":"$PKVR,HDGINI,0\\r\\n"}' "$WORK/heading.txt" || fail "the calibration did not start"
grep -q '"converged":\[1,1,1\]' "$WORK/heading.txt" || fail "the calibration did not converge"
[ "$(tail -1 "$WORK/heading.txt")" = '{"sent":"$PKVR,HDGINI,-1\r\n"}' ] || fail "the calibration was not stopped last"
exit 0
