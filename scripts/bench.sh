#!/usr/bin/env bash
# Prints the figures: one poll against its floor of bare round trips, the screen saver's CPU time
# and peak working set over a minute, start-to-first-frame time and the size of tokalux.scr.
set -u
source "$(dirname "$0")/lib.sh"
prepare_bench_run
awk -v b="$(stat -c %s build/windows/tokalux.scr)" 'BEGIN { printf "tokalux.scr size:       %8.1f KiB\n", b / 1024 }'
wine build/windows/poll_bench.exe --seconds "${1:-60}"
