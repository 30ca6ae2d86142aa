#!/bin/bash
# "zeb500-cli record" killed with SIGKILL while it records a running simulator into files of 1 KB: every file it
# rolled over from reads back whole with its NEXT line, the file it was writing reads back up to its last complete
# record, and what is lost is at most about a second (the records are written at each tick).
# Usage: RecordKilled.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_simulator --pace 300
recorder_settings "$WORK/run.udm" "DIRECTORY,$WORK/rec" BASENAME,run FORMAT,1 GRANULARITY,1 \
    "PORT,sim,/dev/client/127.0.0.1/$PORT,9" TRACK,S FILTER,sim,12,1,S,1
mkdir -p "$WORK/rec"
started=$(date +%s%N)
"$CLI" record --settings "$WORK/run.udm" --for 60 > "$WORK/status.txt" 2> "$WORK/record.log" &
RECORDER=$!
wait_until "three record files" test -f "$WORK/rec/run-3.dat"
wait_for "$WORK/status.txt" '^RECORDING '
sleep 1.5
killed=$(date +%s%N)
kill -KILL $RECORDER
wait $RECORDER 2> /dev/null

last=$(ls "$WORK/rec" | sed -e 's/^run-//' -e 's/\.dat$//' | sort -n | tail -1)
latest=0
for ((i = 1; i <= last; i++)); do
    name="$WORK/rec/run-$i.dat"
    "$CLI" records "$name" > "$WORK/file.txt" 2> "$WORK/records.log"
    rc=$?
    if [ $i -lt $last ]; then
        [ $rc -eq 0 ] || fail "$name, rolled over from, does not read back (exit $rc)"
        grep -qF '$PKVR,RPC,UTMA,NEXT,' "$WORK/file.txt" || fail "$name has no NEXT line"
    else
        [ $rc -eq 0 ] || { [ $rc -eq 3 ] && grep -q "cut record" "$WORK/records.log"; } ||
            fail "$name, being written, does not read back up to its last record (exit $rc)"
    fi
    time=$(jq -s 'map(.time) | max // 0' "$WORK/file.txt")
    [ "$time" -gt "$latest" ] && latest=$time
done
# The recording began after the timer started, so the gap counts against the recorder: 4 s leaves room for a
# slow start on a busy machine.
elapsed=$(((killed - started) / 1000000))
[ $((elapsed - latest)) -le 4000 ] || fail "the last record is from ${latest} ms, killed at ${elapsed} ms"
echo PASS
