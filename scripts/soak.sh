#!/usr/bin/env bash
# The long leak watch: the screen saver runs against the demo player (500 entries, a new track
# every 3 s) for 10 minutes by default; its handles, GDI/USER objects and private bytes are
# printed every 30 s. Not part of the test run. Usage: scripts/soak.sh [minutes]
set -u
source "$(dirname "$0")/lib.sh"
cd "$TOKALUX_ROOT" || exit 1
install_missing_packages || exit 1
build_windows >/dev/null || exit 1
trap 'stop_wine; stop_xvfb' EXIT
start_xvfb
prepare_wine bench
wine build/windows/soak.exe --minutes "${1:-10}" --interval 30 --change 3
