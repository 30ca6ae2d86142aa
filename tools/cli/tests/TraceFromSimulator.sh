#!/bin/bash
# "zeb500-cli trace" against the simulated receiver: the components it lists are switched as asked (NAV's Trace1 and
# Valid levels only), and the trace then comes as JSON lines of those levels; a wrong --on is refused.
# Usage: TraceFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

"$CLI" trace /dev/client/127.0.0.1/1 --on NAV:7 > /dev/null 2> "$WORK/refused.log"
[ $? -eq 2 ] || fail "--on NAV:7 was not refused"
grep -q 'levels 1 to 6' "$WORK/refused.log" || fail "the refusal does not say what is expected"

start_server "$WORK/sim.log" 'listening' "$SIM" --port @PORT@ --pace 20 --trace-rate 500 "$CAPTURE"
timeout 30 "$CLI" trace "/dev/client/127.0.0.1/$PORT" --on NAV:3,6 --on GPS:3 --count 400 --seconds 25 \
    > "$WORK/trace.txt" 2> "$WORK/trace.log" || fail "trace exited with $?"
[ "$(wc -l < "$WORK/trace.txt")" -ge 400 ] || fail "fewer than 400 records"
# Sentences already on their way when the switches changed may lead; in the last hundred NAV and GPS show only the
# asked levels, and the other components keep the levels the receiver reported (Error and Warning).
tail -n 100 "$WORK/trace.txt" > "$WORK/tail.txt"
grep -v -E '^\{"level":[0-9]+,"component":"[A-Z]+","file":"[a-z_.]+","line":[0-9]+,"comment":"[^"]*"\}$' "$WORK/tail.txt" \
    > "$WORK/odd.txt" && fail "records that are no JSON trace lines: $(head -3 "$WORK/odd.txt")"
grep -E '"component":"NAV"' "$WORK/tail.txt" | grep -v -E '"level":(3|6),' > "$WORK/odd.txt" \
    && fail "NAV records of other levels: $(head -3 "$WORK/odd.txt")"
grep -E '"component":"GPS"' "$WORK/tail.txt" | grep -v -E '"level":3,' > "$WORK/odd.txt" \
    && fail "GPS records of other levels: $(head -3 "$WORK/odd.txt")"
grep -E '"component":"(RF|DSP|FS)"' "$WORK/tail.txt" | grep -v -E '"level":(1|2),' > "$WORK/odd.txt" \
    && fail "other components changed: $(head -3 "$WORK/odd.txt")"
grep -q '"level":6,"component":"NAV"' "$WORK/tail.txt" || fail "no Valid records of NAV"
grep -q '"level":3,"component":"GPS"' "$WORK/tail.txt" || fail "no Trace1 records of GPS"
echo "PASS"
