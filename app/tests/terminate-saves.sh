#!/bin/bash
# SIGTERM (as a session manager sends it) and SIGINT close the workbench like its close button:
# it exits normally and the workspace of the run is saved.
# Usage: terminate-saves.sh PATH-TO-zeb500
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config/Orvane"
printf '[Settings]\nlanguage=ENU\nsaveWorkspaceOnExit=true\n' >"$scratch/config/Orvane/ZEB500.ini"

# Waits (at most 30 s) until the program has its handler for SIGTERM, seen in its caught-signal mask.
wait_for_handler() {
    for _ in $(seq 300); do
        mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$1/status" 2>/dev/null) || return 1
        [ -n "$mask" ] && (( (16#$mask >> 14) & 1 )) && return 0
        sleep 0.1
    done
    return 1
}

for signal in TERM INT; do
    workspace="$scratch/$signal.ute"
    env XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" ZEB500_HOME="$scratch/home" \
        XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen "$1" "$workspace" &
    pid=$!
    wait_for_handler "$pid" || { echo "FAIL: no SIGTERM handler in the workbench"; kill -KILL "$pid"; exit 1; }
    kill -"$signal" "$pid"
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: still running 30 s after SIG$signal"; kill -KILL "$pid"; exit 1
    fi
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || { echo "FAIL: exit status $status after SIG$signal"; exit 1; }
    grep -q 'PKVR,RPC,UTTE,VERSION' "$workspace" 2>/dev/null || { echo "FAIL: workspace not saved after SIG$signal"; exit 1; }
done
echo "ok"
