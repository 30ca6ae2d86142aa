#!/bin/bash
# "zeb500-cli display" against the simulator: the first list shows the menu with its cursor on the first row, a
# Down key moves it, and a click puts the cross where it landed; every list ends with {"op": "end"}. The simulator
# also draws a new list every second for its clock, so the key's and the click's lists may come later than the
# second and third: five lists are read and the later ones searched.
# Usage: DisplayFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --pace 5 "$CAPTURE"
"$CLI" display "/dev/client/127.0.0.1/$PORT" --key 0xFFF10001 --click 100,50 --lists 5 --timeout 20 > "$WORK/lists.jsonl" \
    || fail "display exited with $?"
awk -v work="$WORK" -v RS='{"op": "end"}\n' 'NF { n++; print > (work "/list-" n ".jsonl") }' "$WORK/lists.jsonl"
grep -q '"text": "> Position"' "$WORK/list-1.jsonl" || fail "the first list has no cursor on Position"
cat "$WORK"/list-[2-5].jsonl > "$WORK/later.jsonl"
grep -q '"text": "> Satellites"' "$WORK/later.jsonl" || fail "Down did not move the cursor"
grep -q '{"op": "line", "x1": 96, "y1": 46, "x2": 104, "y2": 54}' "$WORK/later.jsonl" || fail "no cross at the click"
[[ $(grep -c '{"op": "end"}' "$WORK/lists.jsonl") -eq 5 ]] || fail "not five lists"
