#!/bin/bash
# "zeb500-cli display" against the simulator: the first list shows the menu with its cursor on the first row, a
# Down key moves it, and a click puts the cross where it landed; every list ends with {"op": "end"}.
# Usage: DisplayFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --pace 5 "$CAPTURE"
"$CLI" display "/dev/client/127.0.0.1/$PORT" --key 0xFFF10001 --click 100,50 --timeout 20 > "$WORK/lists.jsonl" \
    || fail "display exited with $?"
awk -v work="$WORK" -v RS='{"op": "end"}\n' 'NF { n++; print > (work "/list-" n ".jsonl") }' "$WORK/lists.jsonl"
grep -q '"text": "> Position"' "$WORK/list-1.jsonl" || fail "the first list has no cursor on Position"
grep -q '"text": "> Satellites"' "$WORK/list-3.jsonl" || fail "Down did not move the cursor"
grep -q '{"op": "line", "x1": 96, "y1": 46, "x2": 104, "y2": 54}' "$WORK/list-3.jsonl" || fail "no cross at the click"
[[ $(grep -c '{"op": "end"}' "$WORK/lists.jsonl") -eq 3 ]] || fail "not three lists"
