#!/bin/bash
# "zeb500-cli skyplot" polls a simulated receiver playing a small constellation log: its passes
# count the log's nine GPS satellites (seven used; the SBAS one is not shown) and draw the ring of
# the mask the receiver answers to SVDSEL.
# Usage: SkyplotFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim sky.nmea
CLI=$1
SIM=$2
LOG=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --pace 200 --mask 10 "$LOG"
"$CLI" skyplot --size 300x300 --seconds 2.5 "/dev/client/127.0.0.1/$PORT" > "$WORK/passes.txt" 2> "$WORK/skyplot.log" ||
    fail "skyplot exited with $?"
last=$(tail -1 "$WORK/passes.txt")
[ "$(jq -r .title <<< "$last")" = "Geometry - 7/9 SV" ] || fail "title of the last pass: $last"
[ "$(jq -r .radius <<< "$last")" = "140" ] || fail "radius: $last"
[ "$(jq -r .maskRadius <<< "$last")" = "124.44" ] || fail "no mask from the receiver: $last"
[ "$(jq '.satellites | length' <<< "$last")" = "9" ] || fail "satellites drawn: $last"
echo PASS
