#!/usr/bin/env bash
# Configures and builds one build tree. Usage: scripts/build.sh DIR [cmake options...]
# Shared by the start and test commands so that both build the same way.
# ZEB500_TARGETS (space-separated) builds only those targets instead of everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
jobs=${ZEB500_JOBS:-$(nproc)}
launcher=()
if command -v ccache >/dev/null; then
  # Several checkouts (worktrees, CI clones) share one cache: paths are hashed relative
  # to the checkout, and the build folder is left out of the hash.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  # Sources built with a precompiled header are cached too.
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" -G Ninja ${launcher[@]+"${launcher[@]}"} "$@" >/dev/null
targets=()
for target in ${ZEB500_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$jobs" ${targets[@]+"${targets[@]}"}
