#!/usr/bin/env bash
# Runs one test program with a data folder and settings of its own, made fresh for this run
# and removed afterwards, so that a test never reads or writes the user's files and never
# sees what an earlier run or a test running beside it left behind.
set -u
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zeb500-test.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" ZEB500_HOME="$scratch/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
"$@"
