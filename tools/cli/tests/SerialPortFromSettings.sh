#!/bin/bash
# The CLI takes a serial port's device from the workbench's settings file: COM7 is mapped in
# $XDG_CONFIG_HOME/Orvane/ZEB500.ini to a socat pseudo-terminal whose peer answers a typed line.
# Usage: SerialPortFromSettings.sh path/to/zeb500-cli
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

# Waits up to 20 s for a condition; says what it waited for when it gives up.
wait_for() {
    local what=$1; shift
    for _ in $(seq 200); do "$@" && return 0; sleep 0.1; done
    fail "waited 20 s for $what"
}

export XDG_CONFIG_HOME="$WORK/config" ZEB500_HOME="$WORK/home"
mkdir -p "$XDG_CONFIG_HOME/Orvane" "$ZEB500_HOME"
# As the workbench's settings store writes it.
printf '[SerialPorts]\nCOM7=%s\n' "$WORK/tty" > "$XDG_CONFIG_HOME/Orvane/ZEB500.ini"

# The peer answers the first line it gets, then keeps the line open.
cat > "$WORK/peer.sh" <<'PEER'
#!/bin/bash
read -r line
printf '$GPTXT,peer on COM7\r\n'
cat > /dev/null
PEER
chmod +x "$WORK/peer.sh"
socat -d -d PTY,raw,echo=0,link="$WORK/tty" EXEC:"$WORK/peer.sh" 2> "$WORK/socat.log" &
PEER=$!
wait_for "socat's pseudo-terminal" test -e "$WORK/tty"

answered() { grep -q '^\$GPTXT,peer on COM7' "$WORK/out.txt"; }
{
    printf 'hello\n'
    wait_for "the peer's answer" answered
} | "$CLI" terminal /dev/serial/com7,9600,8,1.0,N --no-color > "$WORK/out.txt" 2> "$WORK/terminal.log"
RC=$?
[ $RC -eq 0 ] || fail "terminal exited with $RC"
answered || fail "the peer's sentence is not on stdout"
echo "PASS"
