#!/usr/bin/env bash
# The long leak watch: the screen saver runs against the demo player (500 entries, a new track
# every 3 s) for 10 minutes by default; its handles, GDI/USER objects and private bytes are
# printed every 30 s, then their growth from the 60 s sample to the last. Not part of the test
# run. Usage: scripts/soak.sh [minutes]
set -u
source "$(dirname "$0")/lib.sh"
prepare_bench_run
wine build/windows/soak.exe --minutes "${1:-10}" --interval 30 --change 3
