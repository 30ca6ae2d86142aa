#!/bin/bash
# Regenerates the manual's pictures (documentation/manual/images/*.png) from the real windows,
# offscreen. Run it after a window changed; it builds what it needs in BUILD-DIR (default build).
# Usage: documentation/manual/make-screenshots.sh [BUILD-DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
ZEB500_TARGETS="zeb500-screenshots zeb500-sim zeb_languages zeb_manual" "$root/scripts/build.sh" "$build"
scratch=$(mktemp -d)
port=${ZEB500_SCREENSHOT_PORT:-4917}
"$build/tools/sim/zeb500-sim" --port "$port" --pace 10 --trace-rate 5 --heading "$root/data/captures/nmea/isync.nmea" > "$scratch/sim.log" 2>&1 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null; rm -rf "$scratch"' EXIT
XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
  ZEB500_ASSETS="$build/assets" ZEB500_LANG=ENU \
  timeout 120 "$build/documentation/manual/screenshots/zeb500-screenshots" "$root/documentation/manual/images" \
  "/dev/client/localhost/$port"
echo "Pictures written to $root/documentation/manual/images"
