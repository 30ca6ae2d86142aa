#!/usr/bin/env bash
# Installs what is missing, builds the workbench and starts it. Arguments are passed to the
# workbench (an optional workspace file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
echo "ZEB500: building (the first build takes a few minutes)..."
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "ZEB500: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session," >&2
  echo "        or set QT_QPA_PLATFORM=offscreen to run it without a window." >&2
  exit 1
fi
export ZEB500_ASSETS="$root/build/assets${ZEB500_ASSETS:+:$ZEB500_ASSETS}"
exec "$root/build/app/zeb500" "$@"
