#!/bin/sh
# The workbench started straight from the build tree, with no asset folder named, finds its
# language libraries and comes up (it ends as soon as its window is shown).
# Usage: direct-start.sh PATH-TO-zeb500
set -eu
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/config/Orvane"
printf '[Settings]\nlanguage=ENU\n' >"$scratch/config/Orvane/ZEB500.ini"
env -u ZEB500_ASSETS XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" ZEB500_HOME="$scratch/home" \
  QT_QPA_PLATFORM=offscreen ZEB500_EXIT_WHEN_SHOWN=1 timeout 120 "$1"
