#!/usr/bin/env bash
# Builds everything, starts the demo player and the screen saver under Wine. With a display the
# screen saver runs until you press Esc (or click Exit); without one it runs on Xvfb for a few
# seconds and saves a screenshot.
#
# TOKALUX_SCREEN sets the Xvfb screen (default 1024x768x24) and TOKALUX_DPI the screen's dots per
# inch (default 96), e.g. a 15-inch laptop at 150 %:
#   TOKALUX_SCREEN=1920x1080x24 TOKALUX_DPI=144 scripts/demo.sh
# Another DPI gets a Wine prefix of its own (build/wine-demo-<DPI>dpi).
#
# scripts/demo.sh --sessions shows media sessions instead of the classic player: two demo players
# publish theirs through the session manager double, one as Spotify, playing, with its album's
# picture as the thumbnail and every control but Stop, and one as a browser tab, paused.
set -u
source "$(dirname "$0")/lib.sh"
cd "$TOKALUX_ROOT" || exit 1

sessions=0
case "${1:-}" in
  '') ;;
  --sessions) sessions=1 ;;
  *)
    echo "usage: scripts/demo.sh [--sessions]" >&2
    exit 1
    ;;
esac

dpi=${TOKALUX_DPI:-}
if [ -n "$dpi" ] && ! [[ "$dpi" =~ ^[1-9][0-9]{1,2}$ ]]; then
  echo "TOKALUX_DPI must be a number of dots per inch such as 96, 120 or 144" >&2
  exit 1
fi

install_missing_packages || exit 1
build_windows || exit 1

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  start_xvfb
fi
browser_pid=
trap 'kill $player_pid $browser_pid $saver_pid 2>/dev/null; stop_wine; stop_xvfb' EXIT
if [ -n "$dpi" ]; then
  # Always the DPI's own prefix, so the setting reaches no other prefix.
  TOKALUX_WINEPREFIX='' prepare_wine "demo-${dpi}dpi"
  set_wine_dpi "$dpi"
else
  prepare_wine demo
fi

bin="$TOKALUX_ROOT/build/windows"

# A small music library behind the playlist: a file for every entry, a few with their album's
# picture beside them (made here), and the radio station a stream.
cover() {  # FOLDER COLOUR COLOUR TITLE ARTIST
  convert -size 600x600 radial-gradient:"$2-$3" \( -size 600x600 xc:none -fill '#ffffff30' \
    -draw 'circle 300,260 300,60' -fill '#ffffff20' -draw 'circle 420,420 420,330' \) -composite \
    -font DejaVu-Sans-Bold -fill '#2b1d3a' -gravity south -pointsize 44 -annotate +0+60 "$4" \
    -pointsize 26 -annotate +0+28 "$5" "$1/folder.jpg"
}
music="$TOKALUX_ROOT/build/demo-music"
rm -rf "$music" && mkdir -p "$music"
music_in_wine=$(winepath -w "$music" 2>/dev/null)
n=0
while IFS= read -r line || [ -n "$line" ]; do
  [ -n "$line" ] || continue
  n=$((n + 1))
  mkdir -p "$music/$n" && : >"$music/$n/track.mp3"
  case $n in
    12) cover "$music/$n" '#f9d976' '#e0567c' 'The Northern Rivers' 'Mara Lindqvist & friends' ;;
    5) cover "$music/$n" '#a1c4fd' '#3b4d8f' 'Группа крови' 'Северный Ветер' ;;
    13) cover "$music/$n" '#d4fc79' '#2f8f6a' 'Red Beans' 'Lin Xiaoyu' ;;
  esac
  path="$music_in_wine\\$n\\track.mp3"
  [[ $line == *"Radio 24/7"* ]] && path="http://lowlandradio.example/stream"
  printf '%s\t%s\n' "$line" "$path"
done <"$TOKALUX_ROOT/docs/demo-playlist.txt" >"$music/playlist.txt"

playlist=$(winepath -w "$music/playlist.txt" 2>/dev/null)
# Waits until a demo player is up, and sets its clock running.
player_up() {
  for _ in $(seq 1 100); do
    wine "$bin/tokalux-demo-player.exe" --send "clock on" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
send() { wine "$bin/tokalux-demo-player.exe" --send "$1" >/dev/null 2>&1; }

if [ $sessions -eq 0 ]; then
  say "starting the demo player"
  # Titles as real playlists have them: long ones, and ones in other scripts; the current entry
  # has the longest.
  wine "$bin/tokalux-demo-player.exe" --corner --playlist "$playlist" --position 11 >/dev/null 2>&1 &
  player_pid=$!
  player_up
else
  say "starting two demo players as media sessions: a browser tab paused, Spotify playing"
  # --send finds a player by its window's class: the tab, started first, is the one it finds
  # while it is alone.
  printf 'Lowland Radio Orchestra - Live at the Harbour Hall (Full Concert)\t5400\n' >"$music/tab.txt"
  wine "$bin/tokalux-demo-player.exe" --session Chrome --paused \
    --playlist "$(winepath -w "$music/tab.txt" 2>/dev/null)" >/dev/null 2>&1 &
  browser_pid=$!
  player_up
  # Spotify stands above every other window (--corner), so --send finds it first once it is up:
  # the first "position 4" taken is its (the tab, with one entry, takes none). It plays the same
  # playlist, from the entry with the picture of "Группа крови", which it shows as its thumbnail
  # (in a control command a backslash is written twice); it takes every request but Stop, so the
  # screen shows that button disabled.
  wine "$bin/tokalux-demo-player.exe" --corner --session 'C:\Program Files\Spotify\Spotify.exe' \
    --playlist "$playlist" >/dev/null 2>&1 &
  player_pid=$!
  for _ in $(seq 1 100); do
    send "position 4" && break
    sleep 0.2
  done
  picture=$(winepath -w "$music/5/folder.jpg" 2>/dev/null)
  send "sessionpicture ${picture//\\/\\\\}"
  send "sessioncontrols play pause toggle next previous position"
  send sessioncurrent
fi

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
