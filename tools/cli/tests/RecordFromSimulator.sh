#!/bin/bash
# "zeb500-cli record" records a running simulator with filters by selection and by form into files of 1 KB, and
# "zeb500-cli records" reads every file back: the files form one chain whose PREVIOUS and NEXT lines name the real
# neighbours, the sentences come in the capture's order with none lost or doubled, measurement frames are on their
# track as received and once more converted to text on another. The recording ends with SIGINT.
# Usage: RecordFromSimulator.sh path/to/zeb500-cli path/to/zeb500-sim capture.nmea
CLI=$1
SIM=$2
CAPTURE=$3
source "$(dirname "$0")/ShellTestSupport.sh"

start_simulator --pace 100
recorder_settings "$WORK/run.udm" "DIRECTORY,$WORK/rec" BASENAME,run FORMAT,1 GRANULARITY,1 \
    "PORT,sim,/dev/client/127.0.0.1/$PORT,9" TRACK,S TRACK,R TRACK,T FILTER,sim,12,1,S,1 FILTER,sim,2,1,R,1 \
    FILTER,sim,2,3,T,1
mkdir -p "$WORK/rec"
# Ctrl-C ends the recording once a few files are full; the file being written still gets its NEXT line.
"$CLI" record --settings "$WORK/run.udm" --for 60 > "$WORK/status.txt" 2> "$WORK/record.log" &
RECORDER=$!
# The status line comes first, so that the interrupt follows the fifth file closely: every file
# written meanwhile is read back below, and a loaded machine would otherwise let dozens pile up.
wait_for "$WORK/status.txt" '^RECORDING '
wait_until "five record files" test -f "$WORK/rec/run-5.dat"
kill -INT $RECORDER
wait $RECORDER || fail "record exited with $?"

# Follow the chain from the first file; each file is read whole and names its neighbours.
name="$WORK/rec/run-1.dat"
previous=
files=0
: > "$WORK/messages.txt"
while [ -f "$name" ]; do
    files=$((files + 1))
    [ $files -le 10000 ] || fail "the chain does not end"
    "$CLI" records "$name" > "$WORK/file.txt" 2> "$WORK/records.log" || fail "$name does not read back"
    if [ -n "$previous" ]; then
        grep -qF "\"text\":\"\$PKVR,RPC,UTMA,PREVIOUS,\\\"$previous\\\"" "$WORK/file.txt" ||
            fail "$name does not name $previous"
    fi
    jq -r 'select(.type == 26) | "\(.tag) \(.hex)"' "$WORK/file.txt" >> "$WORK/messages.txt"
    previous=$name
    name=$(jq -r 'select(.type == 0 and (.text | startswith("$PKVR,RPC,UTMA,NEXT,"))) | .text' "$WORK/file.txt" |
        sed -e 's/^[^"]*"//' -e 's/".*$//')
    [ -n "$name" ] || fail "$previous has no NEXT line"
done
[ $files -ge 3 ] || fail "no rollover: $files files"
[ "$files" -eq "$(ls "$WORK/rec" | wc -l)" ] || fail "files outside the chain: $(ls "$WORK/rec")"

# Tracks: S holds sentences, R measurement frames as received (each once), T the same frames as text.
awk '$1 == 83 && $2 !~ /^24/ || $1 == 82 && $2 !~ /^fe52/ || $1 == 84 && $2 !~ /^02(0d0a)?2152/ { bad++ } END { exit bad }' \
    "$WORK/messages.txt" || fail "a message on the wrong track"
measured=$(awk '$1 == 82' "$WORK/messages.txt" | wc -l)
[ "$measured" -gt 0 ] || fail "no measurement frame recorded"
[ "$measured" -eq "$(awk '$1 == 84' "$WORK/messages.txt" | wc -l)" ] || fail "not every measurement converted"
[ -z "$(awk '$1 == 82 { print $2 }' "$WORK/messages.txt" | sort | uniq -d)" ] || fail "a measurement frame twice"

# The sentences, line ends aside, are a run of the looped capture.
while IFS= read -r line; do printf '%s' "$line" | od -An -tx1 -v | tr -d ' \n'; echo; done < <(grep '^\$' "$CAPTURE") > "$WORK/capture.hex"
awk '$1 == 83 { sub(/0d0a$/, "", $2); print $2 }' "$WORK/messages.txt" > "$WORK/sentences.hex"
awk 'NR == FNR { capture[n++] = $0; next }
     { recorded[m++] = $0 }
     END {
         for (k = 0; k < n; k++) {
             ok = m > 0
             for (i = 0; ok && i < m; i++) ok = recorded[i] == capture[(k + i) % n]
             if (ok) exit 0
         }
         exit 1
     }' "$WORK/capture.hex" "$WORK/sentences.hex" || fail "sentences lost, doubled or out of order"
echo PASS
