# Shared set-up for scripts/demo.sh and scripts/test.sh: packages, Xvfb, the dummy X server and
# the Wine prefix.
# Sourced, not run.

TOKALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Fonts: Liberation for the metric twins of Arial; WenQuanYi Micro Hei (CJK and Hangul) and DejaVu
# Sans (Arabic, Hebrew, some emoji) for titles in other scripts, drawn with fallback fonts; Noto
# (fonts-noto-core: 270 files, 12 MB to fetch), the usual font set of a Linux desktop, whose
# Arabic faces want nearly twice a Latin line's height. xdotool presses keys through the X server,
# as a keyboard does (the media keys' test).
TOKALUX_PACKAGES=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64 wine wine64
  xvfb xauth xdotool fonts-liberation fonts-wqy-microhei fonts-dejavu-core fonts-noto-core imagemagick clang
  libclang-rt-14-dev zip xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)

say() { printf '\n== %s\n' "$*"; }

# Installs whichever of the packages above is missing (needs root, as on a fresh Debian machine).
# Waits up to ten minutes for another apt-get (a second script, the system's own) to finish.
install_missing_packages() {
  local missing=() p
  for p in "${TOKALUX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
      --no-install-recommends "${missing[@]}" >/dev/null || { echo "apt-get install failed for: ${missing[*]}" >&2; return 1; }
}

# The first display number from $1 up that no X server holds.
free_display() {
  local n=$1
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "$n"
}
# Waits up to ten seconds for the X server of display number $1 to take connections.
wait_for_display() {
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Starts an Xvfb on a free display and exports DISPLAY; stop_xvfb ends it. The screen is
# TOKALUX_SCREEN (WIDTHxHEIGHTxDEPTH), 1024x768x24 by default.
TOKALUX_XVFB_PID=
start_xvfb() {
  local n
  n=$(free_display 90)
  Xvfb ":$n" -screen 0 "${TOKALUX_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  TOKALUX_XVFB_PID=$!
  wait_for_display "$n"
  export DISPLAY=":$n"
}
stop_xvfb() {
  [ -n "$TOKALUX_XVFB_PID" ] && kill "$TOKALUX_XVFB_PID" 2>/dev/null && wait "$TOKALUX_XVFB_PID" 2>/dev/null
  TOKALUX_XVFB_PID=
}

# Starts an X server with the dummy video driver on a free display, with two monitors (see
# dummy_x_two_monitors), and exports DISPLAY; stop_dummy_x ends it. Xvfb can neither change its
# size nor show a second monitor; here xrandr adds monitors and a program's
# ChangeDisplaySettingsEx changes modes, as on a real machine. Its config and log are
# build/dummy-x/xorg.conf and xorg.log.
TOKALUX_DUMMY_X_PID=
start_dummy_x() {
  local dir="$TOKALUX_ROOT/build/dummy-x" n
  mkdir -p "$dir"
  # No input devices (the tests send input through Wine), a desktop large enough for two
  # monitors side by side, and the modes the tests use (modelines as `cvt W H 60` gives them).
  cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
  Modeline "1280x720" 74.50 1280 1344 1472 1664 720 723 728 748 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
    Modes "1024x768" "1280x720"
  EndSubSection
EndSection
CONF
  n=$(free_display 120)
  # The server binary itself: /usr/bin/Xorg runs the Xorg.wrap wrapper where xserver-xorg-legacy
  # is installed, and that decides by its own config who may start a server and with which
  # rights. Run as root (as here), the server takes a config from any path. -noreset: without it
  # the server resets whenever its last client goes, and the monitor xrandr has just added goes
  # with it. -novtswitch: it takes a free virtual terminal but does not switch the console to it.
  # -nolisten tcp: local clients only.
  /usr/lib/xorg/Xorg ":$n" -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -noreset \
    -novtswitch -nolisten tcp </dev/null >/dev/null 2>&1 &
  TOKALUX_DUMMY_X_PID=$!
  wait_for_display "$n" || { echo "the dummy X server did not start (see $dir/xorg.log)" >&2; return 1; }
  export DISPLAY=":$n"
  dummy_x_two_monitors
}
# The dummy server's monitors as the tests expect them, also after a test changed a mode: a
# 1024x768 primary (DUMMY0) and a 1280x720 monitor to its right (DUMMY1).
dummy_x_two_monitors() {
  xrandr --addmode DUMMY1 1280x720 2>/dev/null
  xrandr --output DUMMY0 --primary --mode 1024x768 --pos 0x0 \
    --output DUMMY1 --mode 1280x720 --right-of DUMMY0
  # Wine reads the outputs as last probed, and setting them probes nothing: without a query
  # (which probes them) Wine would find DUMMY1 still disconnected and report one monitor.
  xrandr -q >/dev/null
}
stop_dummy_x() {
  [ -n "$TOKALUX_DUMMY_X_PID" ] && kill "$TOKALUX_DUMMY_X_PID" 2>/dev/null && wait "$TOKALUX_DUMMY_X_PID" 2>/dev/null
  TOKALUX_DUMMY_X_PID=
}

# A Wine prefix of our own under build/ (one per script: wine-test, wine-demo), so a run neither
# depends on nor disturbs any other.
prepare_wine() {
  export WINEPREFIX="${TOKALUX_WINEPREFIX:-$TOKALUX_ROOT/build/wine-${1:-test}}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # Keep one wineserver for the whole run: every test process starts faster.
  wineserver -p >/dev/null 2>&1
  # Start Wine's background services now, with no pipe attached: started by the first test
  # program instead, they would inherit and hold its output pipe, and ctest would wait on it.
  wine cmd /c exit </dev/null >/dev/null 2>&1
  register_session_double
}
# Wine has no media session manager: the prefix gets our double of it (tools/session-double),
# registered as the system's is, so the screen saver finds the sessions that demo players publish
# (with none published, it finds a manager with no sessions). A test that needs the key absent
# removes it for its own time (tests/e2e/harness/session_double.h).
TOKALUX_SESSION_MANAGER_KEY='HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId\Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager'
register_session_double() {
  local dll
  dll=$(winepath -w "$TOKALUX_ROOT/build/windows/tokalux-session-double.dll" 2>/dev/null) || return 0
  wine reg add "$TOKALUX_SESSION_MANAGER_KEY" /v DllPath /t REG_SZ /d "$dll" /f </dev/null >/dev/null 2>&1
}
# Sets the prefix's screen DPI (Wine's default is 96) for the programs started after this.
set_wine_dpi() {
  local dpi=$1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
}
stop_wine() { [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1; true; }

build_windows() {
  say "building the Windows programs (mingw-w64)"
  cmake --preset windows >/dev/null && cmake --build --preset windows
}

# Set-up for the figure scripts (bench.sh, soak.sh): built, on a private Xvfb with the bench prefix.
prepare_bench_run() {
  cd "$TOKALUX_ROOT" || exit 1
  install_missing_packages || exit 1
  build_windows >/dev/null || exit 1
  trap 'stop_wine; stop_xvfb' EXIT
  start_xvfb
  prepare_wine bench
}
