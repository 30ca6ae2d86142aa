#!/bin/bash
# An old recorder settings file, read by the CLI as a separate process, comes out in the current
# line forms and order; its hostile lines are dropped, and --write produces the same bytes.
# Usage: UdmLegacy.sh path/to/zeb500-cli
CLI=$1
source "$(dirname "$0")/ShellTestSupport.sh"
P='$PKVR,RPC,IHDM,'
printf '%s\n' "${P}FILENAME,C:\\rec\\run1" "${P}FILENAMECONVENTION,3" "${P}EXTENSION,ubx" "${P}FORMAT,1" \
    "${P}PORT,rx,/dev/serial/com2,115200,8,1.0,N,7" "${P}TRACK,R" "${P}FILTER,rx,2,1,R,1" \
    "${P}FILTER,rx,2,1,Q,1" "${P}BASENAME,../../escape" "${P}GRANULARITY,99999999999" > "$WORK/old.udm"
{
    printf '%s\r\n' "${P}START,Immediately" "${P}DURATION,Infinite" "${P}DIRECTORY,C:\\rec" "${P}BASENAME,run1" \
        "${P}EXTENSION,ubx" "${P}INDEXATION,3" "${P}FORMAT,1" "${P}GRANULARITY,10" "${P}GRANULARITYUNIT,0" \
        "${P}OUTPUT,A,0" "${P}OUTPUT,E,0" "${P}OUTPUT,S,0" "${P}OUTPUT,U,0" \
        "${P}PORT,rx,/dev/serial/com2,115200,8,1.0,N,7" "${P}TRACK,R" "${P}FILTER,rx,2,1,R,1"
} > "$WORK/expected.udm"

"$CLI" udm "$WORK/old.udm" > "$WORK/out.txt" 2> "$WORK/udm.log" || fail "udm exited with $?"
cmp -s "$WORK/out.txt" "$WORK/expected.udm" || fail "printed settings differ: $(diff <(cat -A "$WORK/expected.udm") <(cat -A "$WORK/out.txt"))"
"$CLI" udm "$WORK/old.udm" --write "$WORK/new.udm" 2> "$WORK/udm.log" || fail "udm --write exited with $?"
cmp -s "$WORK/new.udm" "$WORK/expected.udm" || fail "written file differs from the printed settings"
"$CLI" udm "$WORK/missing.udm" > /dev/null 2> "$WORK/missing.log"
[ $? -eq 2 ] || fail "a missing file did not end with status 2"
grep -q "missing.udm" "$WORK/missing.log" || fail "the error does not name the file"
echo PASS
