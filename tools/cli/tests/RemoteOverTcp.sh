#!/bin/bash
# Two processes over loopback TCP: "zeb500-cli serve" in one, "zeb500-cli ping" and
# "zeb500-cli remote" in others, through every remote operation.
# Usage: RemoteOverTcp.sh path/to/zeb500-cli
CLI=$1
source "$(dirname "$0")/ShellTestSupport.sh"

mkdir -p "$WORK/root" "$WORK/local/tree/sub" "$WORK/outside"
head -c 100000 /dev/urandom > "$WORK/local/big.bin"
echo small > "$WORK/local/tree/sub/small.txt"
echo secret > "$WORK/outside/secret"
ln -s "$WORK/outside" "$WORK/root/escape"

start_server "$WORK/serve.log" '^serving' "$CLI" serve "/dev/server/localhost/@PORT@" --root "$WORK/root"
AT="/dev/client/127.0.0.1/$PORT"

"$CLI" ping "$AT" > "$WORK/ping.out" || fail "ping"
grep -q '^\$PKVR,RPC,PING,/dev/peer/' "$WORK/ping.out" || fail "ping answer: $(cat "$WORK/ping.out")"

"$CLI" remote mkdir "$AT//d/e" || fail "mkdir"
"$CLI" remote put "$WORK/local/big.bin" "$AT//d/big.bin" 2> "$WORK/progress" || fail "put"
grep -q '100%' "$WORK/progress" || fail "put showed no progress"
cmp -s "$WORK/local/big.bin" "$WORK/root/d/big.bin" || fail "put content"
"$CLI" remote put --quiet "$WORK/local/tree" "$AT//d/tree" || fail "put folder"
[ "$(cat "$WORK/root/d/tree/sub/small.txt")" = small ] || fail "put folder content"
"$CLI" remote ls "$AT//d" > "$WORK/ls.out" || fail "ls"
grep -q '^- .* 100000 .* big.bin$' "$WORK/ls.out" || fail "ls content: $(cat "$WORK/ls.out")"
grep -q '^d .* e$' "$WORK/ls.out" || fail "ls folder: $(cat "$WORK/ls.out")"
"$CLI" remote ls -l "$AT//d" > "$WORK/ls-l.out" || fail "ls -l"
grep -q '^-rw-.* 97 Kb Regular file  .* big.bin$' "$WORK/ls-l.out" || fail "ls -l file: $(cat "$WORK/ls-l.out")"
grep -q '^drwx.* File Folder .* e$' "$WORK/ls-l.out" || fail "ls -l folder: $(cat "$WORK/ls-l.out")"
"$CLI" remote get --quiet "$AT//d/big.bin" "$WORK/back.bin" || fail "get"
cmp -s "$WORK/local/big.bin" "$WORK/back.bin" || fail "get content"
"$CLI" remote mv "$AT//d/big.bin" "$AT//d/moved.bin" || fail "mv"
[ -f "$WORK/root/d/moved.bin" ] && [ ! -e "$WORK/root/d/big.bin" ] || fail "mv result"
"$CLI" remote rm "$AT//d" || fail "rm"
[ ! -e "$WORK/root/d" ] || fail "rm result"

# Ways out of the root are refused.
"$CLI" remote get --quiet "$AT//escape/secret" "$WORK/stolen" 2>/dev/null && fail "read through a link out"
"$CLI" remote get --quiet "$AT//../outside/secret" "$WORK/stolen" 2>/dev/null && fail "read through .."
"$CLI" remote rm "$AT//$WORK/outside/secret" 2>/dev/null && fail "remove by absolute path"
[ -f "$WORK/outside/secret" ] && [ ! -e "$WORK/stolen" ] || fail "outside touched"

grep -q '^connected /dev/peer/' "$WORK/serve.log" || fail "no connection logged"
grep -q '^request 10 d/e from' "$WORK/serve.log" || fail "no request logged"
kill -TERM "$SERVER"
wait "$SERVER"
STATUS=$?
SERVER=
[ $STATUS -eq 0 ] || fail "serve exit status $STATUS"
grep -q '^stopping on SIGTERM' "$WORK/serve.log" || fail "no clean stop"
echo "remote over TCP: every operation passed"
