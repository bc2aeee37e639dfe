#!/usr/bin/env bash
# Prints the figures: the player-link part of one poll against its floor of bare round trips,
# start-to-first-frame time, the screen saver's own CPU time over a steady stretch (60 s by
# default, from 5 s after its first frame; under Wine read from /proc for the Unix process that
# runs tokalux.scr), its peak working set, a song changed at the player and a click on Next to the
# new title on the screen, a track change to its title and its picture on the screen (the classic
# player's and a media session's), Esc to exit while the player hangs and while it answers slowly,
# and the size of tokalux.scr; then the cover-art worker from a request to the delivered pixels,
# one poll of the media sessions (one and four, steady and after a track
# change), and the time to lay out a changed song title and fifteen changed playlist lines. Exits
# non-zero when a step fails. Usage: scripts/bench.sh [seconds]
set -u
source "$(dirname "$0")/lib.sh"
prepare_bench_run
awk -v b="$(stat -c %s build/windows/tokalux.scr)" 'BEGIN { printf "tokalux.scr size:       %8.1f KiB\n", b / 1024 }'
wine build/windows/saver_bench.exe --seconds "${1:-60}" --settle 5 || exit 1
wine build/windows/art_bench.exe || exit 1
wine build/windows/session_bench.exe || exit 1
wine build/windows/text_bench.exe
