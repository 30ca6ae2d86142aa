#!/bin/bash
# The CLI takes a serial port's device from the workbench's settings file: COM7 is mapped in
# $XDG_CONFIG_HOME/Orvane/ZEB500.ini to a socat pseudo-terminal whose peer answers a typed line.
# Usage: SerialPortFromSettings.sh path/to/zeb500-cli
CLI=$1
source "$(dirname "$0")/ShellTestSupport.sh"
command -v socat > /dev/null || fail "socat is not installed (scripts/install-deps.sh installs it)"
mkdir -p "$XDG_CONFIG_HOME/Orvane"
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
wait_until "socat's pseudo-terminal" test -e "$WORK/tty"

answered() { grep -q '^\$GPTXT,peer on COM7' "$WORK/out.txt"; }
{
    printf 'hello\n'
    wait_until "the peer's answer" answered
} | "$CLI" terminal /dev/serial/com7,9600,8,1.0,N --no-color > "$WORK/out.txt" 2> "$WORK/terminal.log"
RC=$?
[ $RC -eq 0 ] || fail "terminal exited with $RC"
answered || fail "the peer's sentence is not on stdout"
echo "PASS"
