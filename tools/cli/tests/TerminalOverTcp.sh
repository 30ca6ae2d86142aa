#!/bin/bash
# "zeb500-cli terminal" against a socat TCP listener: a typed line reaches the peer translated, with CR LF;
# a sentence from the peer appears on stdout; the dictionary entry "!name" and input filter answers go out.
# Usage: TerminalOverTcp.sh path/to/zeb500-cli
set -u
CLI=$1
WORK=$(mktemp -d)
PEER=
cleanup() {
    [ -n "$PEER" ] && kill -TERM "$PEER" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$WORK"/*.log "$WORK"/out.txt; do [ -f "$f" ] && { echo "--- $f"; cat -A "$f"; }; done; exit 1; }
command -v socat > /dev/null || { echo "socat is not installed"; exit 0; }

export ZEB500_HOME="$WORK/home"
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
for attempt in 1 2 3 4 5; do
    PORT=$(( (RANDOM % 20000) + 30000 ))
    socat -d -d TCP-LISTEN:$PORT,bind=127.0.0.1,reuseaddr EXEC:"$WORK/peer.sh" 2> "$WORK/socat.log" &
    PEER=$!
    for _ in $(seq 50); do
        grep -q 'listening on' "$WORK/socat.log" && break
        kill -0 "$PEER" 2>/dev/null || break
        sleep 0.1
    done
    grep -q 'listening on' "$WORK/socat.log" && break
    PEER=
done
[ -n "$PEER" ] || fail "socat did not listen"

# Lines: the answer to the filter's prompt (the peer's $PKVR,ASK,7 asks for Value; 9 is typed), a typed
# telecommand with escapes, the dictionary entry and one that is missing.
{
    sleep 1
    printf '9\n'
    sleep 0.3
    printf '$PKVR,A\\x42\\d067\n'
    sleep 0.3
    printf '!time\n'
    sleep 0.3
    printf '!missing\n'
    sleep 0.5
} | "$CLI" terminal "/dev/client/127.0.0.1/$PORT" --no-color --filters "$WORK/filters.ufl" \
    > "$WORK/out.txt" 2> "$WORK/terminal.log"
RC=$?
[ $RC -eq 0 ] || fail "terminal exited with $RC"
sleep 0.3
kill -TERM "$PEER" 2>/dev/null; wait "$PEER" 2>/dev/null; PEER=

grep -q '^\$GPTXT,hello from the peer$' "$WORK/out.txt" || fail "the peer's sentence is not on stdout"
grep -q '^\$PKVR,ABC$' "$WORK/out.txt" || fail "the sent telecommand is not shown"
grep -q 'no entry "missing"' "$WORK/terminal.log" || fail "a missing dictionary entry is not reported"
grep -q 'Value \[7\]' "$WORK/terminal.log" || fail "the filter's prompt is not shown"
if grep -q $'\e' "$WORK/out.txt"; then fail "colours with --no-color"; fi
EXPECTED=$(printf '$PKVR,ASK,9\r\n$PKVR,ABC\r\n$PKVR,TIME\r\n')
ACTUAL=$(cat "$WORK/peer.bin")
[ "$ACTUAL" = "$EXPECTED" ] || fail "the peer got: $(od -c "$WORK/peer.bin" | head)"
echo "PASS"
