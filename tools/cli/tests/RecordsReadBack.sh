#!/bin/bash
# "zeb500-cli records" reads record files written to the byte layout by another writer (the
# fuzz seeds): every record from the first, a clear error at a cut or damaged one, and with
# --raw the message bytes alone.
# Usage: RecordsReadBack.sh path/to/zeb500-cli path/to/seed/folder
CLI=$1
SEEDS=$2
source "$(dirname "$0")/ShellTestSupport.sh"

"$CLI" records "$SEEDS/framed" > "$WORK/framed.txt" 2> "$WORK/framed.log" || fail "framed file: exit $?"
cat > "$WORK/expected.txt" <<'JSON'
{"type":0,"tag":0,"time":0,"length":27,"text":"$PKVR,RPC,UTMA,VERSION,3\r\n"}
{"type":26,"tag":65,"time":1234,"length":13,"hex":"2447504747412c312a30300d0a"}
{"type":26,"tag":66,"time":1300,"length":5,"hex":"fe41fdffff"}
JSON
cmp -s "$WORK/expected.txt" "$WORK/framed.txt" || fail "framed file read back differently"

"$CLI" records --raw "$SEEDS/framed" > "$WORK/raw.bin" || fail "--raw: exit $?"
printf '$GPGGA,1*00\r\n\xfe\x41\xfd\xff\xff' | cmp -s - "$WORK/raw.bin" || fail "--raw wrote other bytes"

"$CLI" records "$SEEDS/cut" > "$WORK/cut.txt" 2> "$WORK/cut.log"
[ $? -eq 3 ] || fail "a cut file did not exit with 3"
[ "$(wc -l < "$WORK/cut.txt")" -eq 2 ] || fail "the records before the cut were not all printed"
grep -q "cut record at byte 142" "$WORK/cut.log" || fail "no clear error for the cut record"

"$CLI" records "$SEEDS/damaged" > /dev/null 2> "$WORK/damaged.log"
[ $? -eq 3 ] && grep -q "damaged record at byte 78" "$WORK/damaged.log" || fail "no clear error for the damaged record"
"$CLI" records "$WORK/missing" 2> /dev/null
[ $? -eq 2 ] || fail "a missing file did not exit with 2"
echo PASS
