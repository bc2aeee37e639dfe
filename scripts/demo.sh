#!/usr/bin/env bash
# Builds everything, starts the demo player and the screen saver under Wine. With a display the
# screen saver runs until you press Esc (or click Exit); without one it runs on Xvfb for a few
# seconds and saves a screenshot.
set -u
source "$(dirname "$0")/lib.sh"
cd "$TOKALUX_ROOT" || exit 1

install_missing_packages || exit 1
build_windows || exit 1

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  start_xvfb
fi
trap 'kill $player_pid $saver_pid 2>/dev/null; stop_wine; stop_xvfb' EXIT
prepare_wine demo

bin="$TOKALUX_ROOT/build/windows"
say "starting the demo player"
wine "$bin/tokalux-demo-player.exe" --corner >/dev/null 2>&1 &
player_pid=$!
for _ in $(seq 1 100); do
  wine "$bin/tokalux-demo-player.exe" --send "clock on" >/dev/null 2>&1 && break
  sleep 0.2
done

say "starting tokalux.scr /S (Esc or Exit ends it)"
wine "$bin/tokalux.scr" /S >/dev/null 2>&1 &
saver_pid=$!

if [ $headless -eq 1 ]; then
  sleep "${TOKALUX_DEMO_SECONDS:-8}"
  shot="$TOKALUX_ROOT/build/demo-screenshot.png"
  import -display "$DISPLAY" -window root "$shot"
  say "no display: ran on Xvfb $DISPLAY; screenshot saved to $shot"
else
  wait $saver_pid
fi
