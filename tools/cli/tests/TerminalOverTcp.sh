#!/bin/bash
# "zeb500-cli terminal" against a socat TCP listener: a typed line reaches the peer translated, with CR LF;
# a sentence from the peer appears on stdout; the dictionary entry "!name" and input filter answers go out.
# Usage: TerminalOverTcp.sh path/to/zeb500-cli
CLI=$1
source "$(dirname "$0")/ShellTestSupport.sh"
command -v socat > /dev/null || { echo "socat is not installed"; exit 0; }

mkdir -p "$ZEB500_HOME/dictionary"
printf 'time\r\n\t$PKVR,TIME\r\n' > "$ZEB500_HOME/dictionary/default.ude"
printf 'x $PKVR,ASK,%%[Value]\r\n' > "$WORK/filters.ufl"

# The peer sends two sentences at once, then keeps the connection until the terminal has gone.
cat > "$WORK/peer.sh" <<PEER
#!/bin/bash
printf '\$GPTXT,hello from the peer\r\n\$PKVR,ASK,7\r\n'
cat > "$WORK/peer.bin"
PEER
chmod +x "$WORK/peer.sh"
start_server "$WORK/socat.log" 'listening on' \
    socat -d -d TCP-LISTEN:@PORT@,bind=127.0.0.1,reuseaddr EXEC:"$WORK/peer.sh"

# Each line is typed once the terminal has shown what it answers: the answer to the filter's prompt
# (the peer's $PKVR,ASK,7 asks for Value; 9 is typed), a telecommand with escapes, the dictionary
# entry and one that is missing. The end of the input ends the terminal.
trap "" PIPE # a terminal that ended early fails the next wait, not the shell
mkfifo "$WORK/input"
"$CLI" terminal "/dev/client/127.0.0.1/$PORT" --no-color --filters "$WORK/filters.ufl" \
    < "$WORK/input" > "$WORK/out.txt" 2> "$WORK/terminal.log" &
TERMINAL=$!
exec 3> "$WORK/input"
wait_for "$WORK/terminal.log" 'Value \[7\]'
printf '9\n' >&3
wait_for "$WORK/peer.bin" 'ASK,9'
printf '$PKVR,A\\x42\\d067\n' >&3
wait_for "$WORK/peer.bin" 'ABC'
printf '!time\n' >&3
wait_for "$WORK/peer.bin" 'TIME'
printf '!missing\n' >&3
wait_for "$WORK/terminal.log" 'no entry "missing"'
exec 3>&-
for _ in $(seq 200); do kill -0 "$TERMINAL" 2> /dev/null || break; sleep 0.05; done
kill -0 "$TERMINAL" 2> /dev/null && fail "the terminal did not end at the end of its input"
wait "$TERMINAL"
RC=$?
[ $RC -eq 0 ] || fail "terminal exited with $RC"
kill -TERM "$SERVER" 2> /dev/null
wait "$SERVER" 2> /dev/null
SERVER=

grep -q '^\$GPTXT,hello from the peer$' "$WORK/out.txt" || fail "the peer's sentence is not on stdout"
grep -q '^\$PKVR,ABC$' "$WORK/out.txt" || fail "the sent telecommand is not shown"
grep -q 'Value \[7\]' "$WORK/terminal.log" || fail "the filter's prompt is not shown"
if grep -q $'\e' "$WORK/out.txt"; then fail "colours with --no-color"; fi
EXPECTED=$(printf '$PKVR,ASK,9\r\n$PKVR,ABC\r\n$PKVR,TIME\r\n')
ACTUAL=$(cat "$WORK/peer.bin")
[ "$ACTUAL" = "$EXPECTED" ] || fail "the peer got: $(od -c "$WORK/peer.bin" | head)"
echo "PASS"
