#!/usr/bin/env bash
# Installs what is missing, builds the workbench and starts it.
#
# Without arguments it starts the simulated receiver (zeb500-sim) in the background and opens
# the demo workspace, whose connection is that receiver and which shows a terminal window; the
# simulator stops when the workbench ends; the demo workspace is opened for that run only, so a
# later plain start loads the user's own workspace again. With arguments, they are passed to the
# workbench (an optional workspace file) and no simulator is started.
# It installs and builds only what it starts: the workbench, its language libraries and the
# simulator (scripts/test.sh installs and builds the rest).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --run
echo "ZEB500: building (the first build takes a few minutes)..."
ZEB500_RUN_ONLY=1 ZEB500_TARGETS="zeb500 zeb_languages zeb500-sim" \
  "$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "ZEB500: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session," >&2
  echo "        or set QT_QPA_PLATFORM=offscreen to run it without a window." >&2
  exit 1
fi
workbench="$root/build/app/zeb500"
if [[ $# -gt 0 ]]; then
  exec "$workbench" "$@"
fi

# The demo: a simulated receiver on TCP port 4001 playing a captured NMEA log at its own pace, with a debug
# trace of a few sentences a second for the trace viewer.
port=${ZEB500_DEMO_PORT:-4001}
data=${ZEB500_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/Orvane/ZEB500}
mkdir -p "$data"
# The workbench saves its workspace at exit: it works on a copy, never on the shipped file.
sed "s#/dev/client/localhost/4001#/dev/client/localhost/$port#" "$root/data/demo/demo.ute" > "$data/demo.ute"
"$root/build/tools/sim/zeb500-sim" --port "$port" --trace-rate 5 --heading "$root/data/captures/nmea/"*.nmea &
simulator=$!
trap 'kill -TERM "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  nc -z localhost "$port" 2>/dev/null && break
  if ! kill -0 "$simulator" 2>/dev/null; then
    echo "ZEB500: the simulated receiver did not start (is port $port in use? set ZEB500_DEMO_PORT)" >&2
    exit 1
  fi
  sleep 0.1
done
echo "ZEB500: simulated receiver on /dev/client/localhost/$port; opening the demo workspace $data/demo.ute"
"$workbench" --once "$data/demo.ute"
